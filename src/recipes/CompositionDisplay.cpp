#include "recipes/CompositionDisplay.h"

#include "common/NumberHelpers.h"
#include "common/RussianFormat.h"
#include "recipes/Composition.h"
#include "recipes/Energy.h"

#include <cmath>

using namespace Qt::StringLiterals;

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
    return u"Белки-"_s + pattern00(protein) + u"г, Жиры-"_s + pattern00(fat) + u"г, Углеводы-"_s +
           pattern00(carbohydrate) + u"г, Калорийность-"_s + pattern0(kkal) + u"ккал"_s;
}
