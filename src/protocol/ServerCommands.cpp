#include "ServerCommands.h"

#include "Dialogs.h"
#include "ProtocolWords.h"
#include "ReplyTarget.h"
#include "ServerLink.h"

namespace ServerCommandTexts {

QString compositionReceived()
{
    return QStringLiteral("Получили ХС рецептуры... ");
}

QString unknownCommand()
{
    return QStringLiteral("Неизвестная команда сервера: ");
}

QString noNormDatabase()
{
    return QStringLiteral("На сервере нет базы физиологических норм! ") + u'\r' +
           QStringLiteral("Обновите программу, чтобы использовать эту функцию.");
}

} // namespace ServerCommandTexts

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
        Dialogs::message(payloadAfter(Proto::Mess), Dialogs::Buttons::Ok, Dialogs::Icon::Information);
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
