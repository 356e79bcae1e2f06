#include "recipes/Composition.h"

#include "common/NumberHelpers.h"
#include "common/Payload.h"
#include "common/RussianFormat.h"
#include "protocol/ProtocolWords.h"
#include "recipes/Energy.h"

#include <cmath>

std::optional<double> positiveWeight(const QString& text)
{
    try {
        const double sum = GetOutSum(text);
        if (std::isfinite(sum) && sum > 0)
            return sum;
    } catch (const NotANumber&) {
    }
    return std::nullopt;
}

std::optional<double> typedWeight(const QString& text)
{
    if (text.isEmpty())
        return std::nullopt;
    try {
        const double sum = GetOutSum(text);
        if (std::isfinite(sum) && sum >= 0)
            return sum + 0.0; // "-0" scales to 0, not to -0
    } catch (const NotANumber&) {
    }
    return std::nullopt;
}

std::optional<Composition> Composition::parse(const QString& text)
{
    const QStringList rows = splitPayload(text, Proto::Str);
    if (rows.size() < 2)
        return std::nullopt;

    Composition record;
    record.m_values = splitPayload(rows[0], Proto::Sc);
    record.m_identity = splitPayload(rows[1], Proto::Sc);
    if (record.m_values.size() < 4)
        return std::nullopt;

    double* const targets[] = {&record.m_protein, &record.m_fat, &record.m_carb1, &record.m_carb2};
    for (int i = 0; i < 4; ++i) {
        const auto value = RussianFormat::toDouble(record.m_values[i]);
        if (!value)
            return std::nullopt;
        *targets[i] = *value;
    }

    // Values near the top of the double range read as numbers, yet their
    // sums overflow: such a record would show "inf" and be stored as a
    // figure the report prints as 0, so it cannot be loaded either.
    if (!std::isfinite(record.m_carb1 + record.m_carb2) || !std::isfinite(CalcKkal(record.m_values, false)))
        return std::nullopt;

    const auto weight = positiveWeight(record.weightText());
    if (!weight)
        return std::nullopt;
    record.m_weight = *weight;
    return record;
}

QString Composition::dishName() const
{
    return elementAt(m_identity, 0);
}

QString Composition::weightText() const
{
    return elementAt(m_identity, 1);
}
