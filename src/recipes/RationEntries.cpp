#include "RationEntries.h"

#include "Composition.h"
#include "Energy.h"
#include "Payload.h"
#include "ProtocolWords.h"
#include "RussianFormat.h"

#include <cmath>

void RationEntries::reset()
{
    m_entries = QStringList{QString()};
}

QString RationEntries::entry(int i) const
{
    return elementAt(m_entries, qsizetype(i) - 1);
}

QString RationEntries::scaledEntry(const QString& currentHS, const QString& weightText)
{
    const auto record = Composition::parse(currentHS);
    const auto typed = typedWeight(weightText);
    if (!record || !typed)
        return QString();

    QStringList values = record->values();
    for (QString& cell : values) {
        if (const auto value = RussianFormat::toDouble(cell)) {
            const double scaled = *value * *typed / record->weight();
            if (!std::isfinite(scaled))
                return QString();
            cell = RussianFormat::shortest(scaled);
        }
    }
    // Finite cells can still sum to an energy past the range, which the
    // report would print as 0.
    if (!std::isfinite(CalcKkal(values, false)))
        return QString();
    QStringList identity = record->identity();
    identity[1] = weightText; // parse() guarantees the cell exists
    return values.join(Proto::Sc) + Proto::Str + identity.join(Proto::Sc);
}

RationEntries::AddResult RationEntries::add(const QString& currentHS, const QString& weightText)
{
    if (currentHS.isEmpty())
        return AddResult::NoRecipe;
    if (upperBound() >= MaxEntries)
        return AddResult::Full;
    if (!Composition::parse(currentHS))
        return AddResult::RecipeUnreadable;
    if (!typedWeight(weightText))
        return AddResult::WeightUnreadable;

    // A weight that scales a value past the finite range is no more usable
    // than one that is not a number.
    const QString scaled = scaledEntry(currentHS, weightText);
    if (scaled.isEmpty())
        return AddResult::WeightUnreadable;
    if (isEmpty())
        m_entries[0] = scaled;
    else
        m_entries << scaled;
    return AddResult::Added;
}

QStringList RationEntries::cells(int i, int row) const
{
    if (i < 1 || i > upperBound())
        return {};
    const QString text = entry(i);
    if (text.isEmpty())
        return {};
    return splitPayload(elementAt(splitPayload(text, Proto::Str), row), Proto::Sc);
}

double RationEntries::valueCell(int i, int cell) const
{
    return RussianFormat::toDouble(elementAt(cells(i, 0), cell)).value_or(0.0);
}

QString RationEntries::GetDishName(int i) const
{
    return elementAt(cells(i, 1), 0);
}

QString RationEntries::GetDishWeight(int i) const
{
    if (i < 1 || i > upperBound() || entry(i).isEmpty())
        return QStringLiteral("0");
    return elementAt(cells(i, 1), 1);
}

double RationEntries::GetDishProtein(int i) const
{
    return valueCell(i, 0);
}
double RationEntries::GetDishFat(int i) const
{
    return valueCell(i, 1);
}
double RationEntries::GetDishCarb1(int i) const
{
    return valueCell(i, 2);
}
double RationEntries::GetDishCarb2(int i) const
{
    return valueCell(i, 3);
}

double RationEntries::GetDishKkal(int i) const
{
    if (i < 1 || i > upperBound() || entry(i).isEmpty())
        return 0;
    return CalcKkal(cells(i, 0), true);
}
