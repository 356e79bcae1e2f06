#include "recipes/Energy.h"

#include "common/Payload.h"
#include "common/RussianFormat.h"

namespace {

double cellValue(const QStringList& values, qsizetype index)
{
    return RussianFormat::toDouble(elementAt(values, index)).value_or(0.0);
}

} // namespace

double CalcKkal(const QStringList& values, bool rounded)
{
    const double protein = cellValue(values, 0);
    const double fat = cellValue(values, 1);
    const double carb1 = cellValue(values, 2);
    const double carb2 = cellValue(values, 3);

    // The order of the sums is part of the result: it fixes the last bit of
    // the double, which the rounding below can see.
    double energy = 9 * fat + 4 * protein;
    energy = energy + 3.8 * carb1;
    energy = energy + 4.1 * carb2;
    if (rounded)
        energy = RussianFormat::toDouble(RussianFormat::pattern0(energy)).value_or(0.0);
    return energy;
}
