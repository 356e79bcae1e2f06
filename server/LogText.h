#pragma once

#include <QString>

// Client text bound for the server's log, which is read by a person and by
// scripts a line at a time.
namespace LogText {

// One printable line: line breaks, tabs, other control characters and the
// backslash are written as escapes ("\r", "\n", "\t", "\x1b", "\\"), so a
// client cannot start a forged log line or move a terminal's cursor.
// At most `maxChars` characters of the text are kept; a cut is marked "...".
QString printable(const QString& text, qsizetype maxChars = 4096);

} // namespace LogText
