#pragma once

#include <QString>
#include <QStringList>

// Cuts a payload text at a literal separator ("<EB>", "<TB>", "<BL>",
// "<Str>", "<Sc>"): matching is exact and case-sensitive, empty elements are
// kept, and an empty text gives no element at all.
QStringList splitPayload(const QString& text, const QString& separator);

// Element i of a split, or an empty text when there is none.
QString elementAt(const QStringList& parts, qsizetype index);
