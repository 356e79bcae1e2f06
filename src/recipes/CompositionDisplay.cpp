#include "CompositionDisplay.h"

#include "Composition.h"
#include "Energy.h"
#include "NumberHelpers.h"
#include "RussianFormat.h"

#include <cmath>

CompositionDisplay CompositionDisplay::form_HS_Dish(const QString& composition, bool fromDispatcher,
                                                    const QString& tOutText)
{
    if (composition.isEmpty())
        return CompositionDisplay(Outcome::NotLoaded);
    const auto record = Composition::parse(composition);
    if (!record)
        return CompositionDisplay(Outcome::LoadFailed);

    double k = 1.0;
    QString weightText = record->weightText();
    if (!fromDispatcher && !tOutText.isEmpty()) {
        double typed = 0;
        try {
            typed = GetOutSum(tOutText);
        } catch (const NotANumber&) {
            return CompositionDisplay(Outcome::WeightUnreadable);
        }
        if (!std::isfinite(typed))
            return CompositionDisplay(Outcome::WeightUnreadable);
        weightText = tOutText;
        k = typed / record->weight();
    }

    const double figures[] = {record->protein() * k, record->fat() * k,
                              record->carb1() * k + record->carb2() * k,
                              CalcKkal(record->values(), false) * k};
    // parse() has made sure the unscaled figures are finite, so only a typed
    // weight can scale one past the range: refused like an unreadable one.
    for (const double figure : figures) {
        if (!std::isfinite(figure))
            return CompositionDisplay(Outcome::WeightUnreadable);
    }
    CompositionDisplay result(Outcome::Shown);
    result.m_tOut = weightText;
    result.m_lHS = line(figures[0], figures[1], figures[2], figures[3]);
    return result;
}

QString CompositionDisplay::line(double protein, double fat, double carbohydrate, double kkal)
{
    using RussianFormat::pattern0;
    using RussianFormat::pattern00;
    return QStringLiteral("Белки-") + pattern00(protein) + QStringLiteral("г, Жиры-") + pattern00(fat) +
           QStringLiteral("г, Углеводы-") + pattern00(carbohydrate) + QStringLiteral("г, Калорийность-") +
           pattern0(kkal) + QStringLiteral("ккал");
}
