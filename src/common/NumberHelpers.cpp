#include "common/NumberHelpers.h"

#include "common/RussianFormat.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

NotANumber::NotANumber(const QString& text)
    : std::runtime_error("not a number: " + text.toStdString()), m_text(text)
{
}

double GetOutSum(const QString& text)
{
    double sum = 0;
    static const QRegularExpression slashes(u"[/\\\\]"_s);
    for (QString part : text.split(slashes)) {
        if (part.isEmpty())
            continue;
        part.replace(u'.', u',');
        const auto value = RussianFormat::toDouble(part);
        if (!value)
            throw NotANumber(part);
        sum += *value;
    }
    return sum;
}

bool CheckNumKey(int keyCode, bool slashesAllowed)
{
    if (keyCode <= 26)
        return true;
    if (keyCode >= '0' && keyCode <= '9')
        return true;
    if (keyCode == ',')
        return true;
    return slashesAllowed && (keyCode == '/' || keyCode == '\\');
}
