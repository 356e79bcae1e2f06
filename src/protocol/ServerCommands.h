#pragma once

#include <QString>

class ReplyTarget;
class ServerLink;

// Routes one received message (without its terminator) by its leading reply
// word, compared without regard to case, and handles it completely before
// returning. Payloads go to `target`; with no target (the owners are not
// there yet) they are dropped. Status lines go to `link`. "$Mess=" and
// "$No_Fiz_NormDB" are shown in message boxes, as plain text. Taken by value:
// a message moved in is cut to its payload in place.
void ParseServerCommand(QString message, ReplyTarget* target, ServerLink& link);

// True when `message` starts with `word`: its first word.size() characters,
// in upper case, equal the word in upper case.
bool startsWithWord(const QString& message, const QString& word);

// The texts the dispatcher writes and shows.
namespace ServerCommandTexts {
QString compositionReceived(); // "Получили ХС рецептуры... "
QString unknownCommand();      // "Неизвестная команда сервера: "
QString noNormDatabase();      // the "$No_Fiz_NormDB" box
} // namespace ServerCommandTexts
