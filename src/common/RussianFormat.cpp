#include "common/RussianFormat.h"

#include <QLocale>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

using namespace Qt::StringLiterals;

namespace RussianFormat {
namespace {

const QLocale& russian()
{
    static const QLocale locale(QLocale::Russian, QLocale::Russia);
    return locale;
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == QChar(0xA0);
}

// Parses the strict grammar into an ASCII string that std::from_chars reads.
std::optional<std::string> toCanonical(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    if (begin == end)
        return std::nullopt;

    std::string out;
    out.reserve(std::size_t(end - begin));
    qsizetype i = begin;
    if (text[i] == u'+' || text[i] == u'-') {
        if (text[i] == u'-')
            out.push_back('-');
        ++i;
    }
    int mantissaDigits = 0;
    bool comma = false;
    for (; i < end; ++i) {
        const QChar c = text[i];
        if (c >= u'0' && c <= u'9') {
            out.push_back(char(c.unicode()));
            ++mantissaDigits;
        } else if (c == u',' && !comma) {
            comma = true;
            out.push_back('.');
        } else {
            break;
        }
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (i < end && (text[i] == u'e' || text[i] == u'E')) {
        out.push_back('e');
        ++i;
        if (i < end && (text[i] == u'+' || text[i] == u'-')) {
            out.push_back(char(text[i].unicode()));
            ++i;
        }
        int exponentDigits = 0;
        for (; i < end && text[i] >= u'0' && text[i] <= u'9'; ++i) {
            out.push_back(char(text[i].unicode()));
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != end)
        return std::nullopt;
    return out;
}

QString fromAscii(const std::string& s)
{
    return QString::fromLatin1(s.data(), qsizetype(s.size()));
}

} // namespace

bool isNumeric(const QString& text)
{
    return toDouble(text).has_value();
}

std::optional<double> toDouble(const QString& text)
{
    const auto canonical = toCanonical(text);
    if (!canonical)
        return std::nullopt;
    double value = 0;
    const char* first = canonical->data();
    const char* last = first + canonical->size();
    const auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || ptr != last || !std::isfinite(value))
        return std::nullopt;
    return value == 0 ? 0.0 : value; // no "-0" downstream
}

QString shortest(double value)
{
    if (value == 0 || !std::isfinite(value))
        return value == 0 ? u"0"_s : QString::number(value);
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    QString text = QString::fromLatin1(buffer);
    text.replace(u'.', u',');
    return text;
}

QString fixed(double value, int decimals)
{
    if (!std::isfinite(value))
        return QString::number(value);
    // Take the value as the decimal a person would read (15 significant
    // digits), then round that decimal half away from zero. Rounding the binary
    // double directly would turn 0.15 into 0.1 and 2.675 into 2.67.
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
    const std::string s(buffer);
    const std::size_t ePos = s.find('e');
    std::string digits = s.substr(0, 1) + s.substr(2, ePos - 2); // 15 digits
    const int exponent = std::stoi(s.substr(ePos + 1));
    // digits represent d.ddd * 10^exponent; the integer part has exponent + 1 digits.
    int pointPos = exponent + 1; // position of the decimal point inside digits
    if (pointPos <= 0) {
        digits.insert(0, std::size_t(1 - pointPos), '0');
        pointPos = 1;
    }
    const int keep = pointPos + decimals; // digits kept after rounding
    if (int(digits.size()) < keep)
        digits.append(std::size_t(keep - int(digits.size())), '0');
    bool roundUp = int(digits.size()) > keep && digits[std::size_t(keep)] >= '5';
    digits.resize(std::size_t(keep));
    if (roundUp) {
        int k = keep - 1;
        for (; k >= 0; --k) {
            if (digits[std::size_t(k)] == '9') {
                digits[std::size_t(k)] = '0';
            } else {
                ++digits[std::size_t(k)];
                break;
            }
        }
        if (k < 0) {
            digits.insert(0, 1, '1');
            ++pointPos;
        }
    }
    std::string integerPart = digits.substr(0, std::size_t(pointPos));
    const std::string fraction = digits.substr(std::size_t(pointPos));
    const std::size_t firstNonZero = integerPart.find_first_not_of('0');
    integerPart = firstNonZero == std::string::npos ? "0" : integerPart.substr(firstNonZero);
    const bool isZero = integerPart == "0" && fraction.find_first_not_of('0') == std::string::npos;
    std::string out = (value < 0 && !isZero) ? "-" : "";
    out += integerPart;
    if (decimals > 0)
        out += "," + fraction;
    return fromAscii(out);
}

QString upper(const QString& text)
{
    return russian().toUpper(text);
}

QString lower(const QString& text)
{
    return russian().toLower(text);
}

// Windows' Russian "Long Date" (no weekday, unlike Qt's LongFormat for ru).
QString longDate(const QDate& date)
{
    return russian().toString(date, u"d MMMM yyyy 'г.'"_s);
}

} // namespace RussianFormat
