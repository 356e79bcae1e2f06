#pragma once

#include <QDate>
#include <QString>

#include <optional>

// Number and text conversion under Russian rules (decimal comma), whatever the
// machine's own locale is: the server writes numbers that way, and a client on
// an English-locale machine must not read "10,5" as 105.
namespace RussianFormat {

// True when the text reads as a number: optional blanks around, an optional
// sign, digits with at most one decimal comma, an optional exponent.
// A point is not a decimal separator ("1.4" is not a number).
bool isNumeric(const QString& text);

// The value of a text that isNumeric() accepts; nothing otherwise.
std::optional<double> toDouble(const QString& text);

// The shortest text of a value: up to 15 significant digits, decimal comma,
// never a digit-group separator ("2450", "10,5", "0,3" for 0.1 + 0.2).
QString shortest(double value);

// Fixed number of decimals, rounding halves away from zero on the value's
// 15-significant-digit decimal form (so 0.15 gives "0,2" although the binary
// double lies just below 0.15). decimals = 0 is the pattern "0", 1 is "0.0".
QString fixed(double value, int decimals);
inline QString pattern0(double value)
{
    return fixed(value, 0);
}
inline QString pattern00(double value)
{
    return fixed(value, 1);
}

// Cyrillic-aware case conversion.
QString upper(const QString& text);
QString lower(const QString& text);

// The Russian long date, e.g. "6 декабря 2026 г.".
QString longDate(const QDate& date);

} // namespace RussianFormat
