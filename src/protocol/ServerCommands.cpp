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

bool startsWithWord(const QString& message, const QString& word)
{
    if (message.size() < word.size())
        return false;
    return message.first(word.size()).toUpper() == word.toUpper();
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

void ParseServerCommand(const QString& message, ReplyTarget* target, ServerLink& link)
{
    const auto payloadAfter = [&message](const QString& word) { return message.mid(word.size()); };

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
