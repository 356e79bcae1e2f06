#include "recipes/RationEntries.h"

#include "common/Payload.h"
#include "common/RussianFormat.h"
#include "protocol/ProtocolWords.h"
#include "recipes/Composition.h"
#include "recipes/Energy.h"

#include <algorithm>
#include <cmath>
#include <functional>

using namespace Qt::StringLiterals;

void RationEntries::reset()
{
    m_entries = QStringList{QString()};
    emit changed();
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
    emit changed();
    return AddResult::Added;
}

void RationEntries::remove(QList<int> indices)
{
    std::sort(indices.begin(), indices.end(), std::greater<int>());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    const qsizetype before = m_entries.size();
    for (const int i : indices) {
        if (i >= 1 && i <= upperBound())
            m_entries.removeAt(i - 1);
    }
    if (m_entries.size() == before)
        return;
    if (m_entries.isEmpty())
        m_entries = QStringList{QString()};
    emit changed();
}

bool RationEntries::move(int i, int step)
{
    const int j = i + step;
    if (isEmpty() || (step != 1 && step != -1) || i < 1 || j < 1 || i > upperBound() || j > upperBound())
        return false;
    m_entries.swapItemsAt(i - 1, j - 1);
    emit changed();
    return true;
}

RationEntries::AddResult RationEntries::setWeight(int i, const QString& weightText)
{
    if (i < 1 || i > upperBound() || entry(i).isEmpty())
        return AddResult::NoRecipe;
    // Above zero even should an add come to take 0: an entry of weight 0
    // could never be scaled back.
    const auto weight = positiveWeight(weightText);
    if (!weight || !(*weight > 0))
        return AddResult::WeightUnreadable;
    // The entry is a record of its own weight, so scaling it again from that
    // weight is the same proportion an add applies to the recipe.
    const QString scaled = scaledEntry(entry(i), weightText);
    if (scaled.isEmpty())
        return AddResult::RecipeUnreadable;
    m_entries[i - 1] = scaled;
    emit changed();
    return AddResult::Added;
}

bool RationEntries::replace(const QStringList& entries)
{
    if (entries.size() > MaxEntries || entries.contains(QString()))
        return false;
    m_entries = entries.isEmpty() ? QStringList{QString()} : entries;
    emit changed();
    return true;
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
        return u"0"_s;
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
