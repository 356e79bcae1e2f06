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

// True when ParseServerCommand does no more with `message` than log it as an
// unknown command: it opens no box and calls no payload owner.
bool isUnknownCommand(const QString& message);

// What a "$Mess=" box shows of `text`: the whole text up to kMessShownChars
// characters in kMessShownLines lines, an administrator's notice of a page or
// two; past that its start, "…" and a line saying how much is left out. A box
// of megabytes would take minutes and gigabytes to lay out; the box itself
// keeps a long text within the screen (Dialogs::createMessageBox).
QString messBoxText(const QString& text);
inline constexpr qsizetype kMessShownChars = 4000;
inline constexpr qsizetype kMessShownLines = 60;

// The texts the dispatcher writes and shows.
namespace ServerCommandTexts {
QString compositionReceived(); // "Получили ХС рецептуры... "
QString unknownCommand();      // "Неизвестная команда сервера: "
QString noNormDatabase();      // the "$No_Fiz_NormDB" box
QString messLogged(); // "Сообщение сервера: ", before a "$Mess=" text too long for its box
QString messLeftOut(qsizetype leftOut, qsizetype total); // the line after "…"
} // namespace ServerCommandTexts
