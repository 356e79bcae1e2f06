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

namespace {

constexpr char16_t asciiUpper(char16_t c)
{
    return c >= u'a' && c <= u'z' ? char16_t(c - (u'a' - u'A')) : c;
}

} // namespace

bool startsWithWord(const QString& message, const QString& word)
{
    if (message.size() < word.size())
        return false;
    // Every reply word is ASCII. Then comparing letter by letter is the same
    // as comparing the upper-cased prefix: a letter whose upper case is more
    // than one letter never upper-cases to ASCII alone. It saves two texts
    // per word tried on every message.
    for (qsizetype i = 0; i < word.size(); ++i) {
        const QChar w = word.at(i);
        if (w.unicode() >= 0x80)
            return message.first(word.size()).toUpper() == word.toUpper();
        const char16_t m = message.at(i).unicode();
        if (m < 0x80 ? asciiUpper(m) != asciiUpper(w.unicode())
                     : QChar(m).toUpper() != QChar(asciiUpper(w.unicode())))
            return false;
    }
    return true;
}

namespace {

bool isWholeWord(const QString& message, const QString& word)
{
    // Upper case never shortens a text, so a longer message cannot match and
    // a long payload is not copied to find that out.
    if (message.size() > word.size())
        return false;
    return message.toUpper() == word.toUpper();
}

} // namespace

bool isUnknownCommand(const QString& message)
{
    for (const QString* word :
         {&Proto::Mess, &Proto::BB, &Proto::HSDishes, &Proto::Dishes, &Proto::Man_Norm, &Proto::Girl_Norm}) {
        if (startsWithWord(message, *word))
            return false;
    }
    return !isWholeWord(message, Proto::No_Fiz_NormDB);
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

    if (startsWithWord(message, Proto::Mess)) {
        const QString& text = payloadAfter(Proto::Mess);
        const QString shown = messBoxText(text);
        // What the box leaves out can still be read in the log (as far as its
        // line bound allows; cut here, so megabytes are not copied first).
        if (shown != text)
            link.AddStatus(ServerCommandTexts::messLogged() + text.left(StatusLog::kMaxLineChars + 1));
        Dialogs::message(shown, Dialogs::Buttons::Ok, Dialogs::Icon::Information);
        return;
    }
    if (startsWithWord(message, Proto::BB)) {
        if (target)
            target->form_Bases_Bl(payloadAfter(Proto::BB));
        return;
    }
    if (startsWithWord(message, Proto::HSDishes)) {
        link.AddStatus(ServerCommandTexts::compositionReceived());
        if (target)
            target->receiveComposition(payloadAfter(Proto::HSDishes));
        return;
    }
    if (startsWithWord(message, Proto::Dishes)) {
        if (target)
            target->form_Dishes_Bl(payloadAfter(Proto::Dishes));
        return;
    }
    if (isWholeWord(message, Proto::No_Fiz_NormDB)) {
        if (target)
            target->noNormTable();
        Dialogs::message(ServerCommandTexts::noNormDatabase(), Dialogs::Buttons::Ok, Dialogs::Icon::None);
        return;
    }
    if (startsWithWord(message, Proto::Man_Norm)) {
        if (target)
            target->receiveNorm(payloadAfter(Proto::Man_Norm));
        return;
    }
    if (startsWithWord(message, Proto::Girl_Norm)) {
        if (target)
            target->receiveNorm(payloadAfter(Proto::Girl_Norm));
        return;
    }
    link.AddStatus(ServerCommandTexts::unknownCommand() + message);
}
