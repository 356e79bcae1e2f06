#include "protocol/ServerCommands.h"

#include "common/Dialogs.h"
#include "protocol/ProtocolWords.h"
#include "protocol/ReplyTarget.h"
#include "protocol/ServerLink.h"
#include "protocol/StatusLog.h"

using namespace Qt::StringLiterals;

namespace ServerCommandTexts {

QString compositionReceived()
{
    return u"Получили ХС рецептуры... "_s;
}

QString unknownCommand()
{
    return u"Неизвестная команда сервера: "_s;
}

QString noNormDatabase()
{
    return u"На сервере нет базы физиологических норм! "_s + u'\r' +
           u"Обновите программу, чтобы использовать эту функцию."_s;
}

QString messLogged()
{
    return u"Сообщение сервера: "_s;
}

QString messLeftOut(qsizetype leftOut, qsizetype total)
{
    return u"Показано начало сообщения: не показано знаков — %1 из %2 (оно записано в лог сервера)."_s
        .arg(leftOut)
        .arg(total);
}

} // namespace ServerCommandTexts

QString messBoxText(const QString& text)
{
    // Any of CR LF, CR or LF ends a line, as the box shows them. Long lines
    // need nothing here: the box wraps them to the screen's width itself.
    QString shown;
    qsizetype lines = 1;
    qsizetype i = 0;
    for (; i < text.size() && i < kMessShownChars; ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            if (++lines > kMessShownLines) {
                ++i;
                break;
            }
            shown += u'\r';
            continue;
        }
        shown += c;
    }
    if (i >= text.size())
        return text;
    return shown + u"\r…\r"_s + ServerCommandTexts::messLeftOut(text.size() - i, text.size());
}

bool isUnknownCommand(const QString& message)
{
    return !Proto::replyOf(message);
}

void ParseServerCommand(QString message, ReplyTarget* target, ServerLink& link)
{
    // The payload is the message without its word. Cutting the front off a
    // text nobody else holds moves no characters, so a payload of many
    // megabytes is handed on without a copy.
    const auto payloadAfter = [&message](const QString& word) -> const QString& {
        message.remove(0, word.size());
        return message;
    };

    const std::optional<Proto::Reply> reply = Proto::replyOf(message);
    if (!reply) {
        link.AddStatus(ServerCommandTexts::unknownCommand() + message);
        return;
    }
    const QString& payload = payloadAfter(Proto::wordOf(*reply));
    switch (*reply) {
    case Proto::Reply::Mess: {
        const QString shown = messBoxText(payload);
        // What the box leaves out can still be read in the log (as far as its
        // line bound allows; cut here, so megabytes are not copied first).
        if (shown != payload)
            link.AddStatus(ServerCommandTexts::messLogged() + payload.left(StatusLog::kMaxLineChars + 1));
        Dialogs::message(shown, Dialogs::Buttons::Ok, Dialogs::Icon::Information);
        return;
    }
    case Proto::Reply::BB:
        if (target)
            target->form_Bases_Bl(payload);
        return;
    case Proto::Reply::HSDishes:
        link.AddStatus(ServerCommandTexts::compositionReceived());
        if (target)
            target->receiveComposition(payload);
        return;
    case Proto::Reply::Dishes:
        if (target)
            target->form_Dishes_Bl(payload);
        return;
    case Proto::Reply::No_Fiz_NormDB:
        if (target)
            target->noNormTable();
        Dialogs::message(ServerCommandTexts::noNormDatabase(), Dialogs::Buttons::Ok, Dialogs::Icon::None);
        return;
    case Proto::Reply::Man_Norm:
    case Proto::Reply::Girl_Norm:
        if (target)
            target->receiveNorm(payload);
        return;
    }
}
