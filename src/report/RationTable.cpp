#include "report/RationTable.h"

#include "common/RussianFormat.h"
#include "report/ReportSource.h"

#include <cmath>

using namespace Qt::Literals::StringLiterals;

QString RationTable::share(double kkal, double need)
{
    if (!(need > 0) || !std::isfinite(need))
        return QString();
    return RussianFormat::pattern0(kkal / need * 100) + u'%';
}

double RationTable::totalKkal(double protein, double fat, double carb1, double carb2)
{
    return 4 * protein + 9 * fat + 3.8 * carb1 + 4.1 * carb2;
}

RationTable RationTable::from(const ReportSource& source)
{
    RationTable table;
    table.group = source.GetFullGroup();
    table.need = source.GetFizEnergy();
    double protein = 0;
    double fat = 0;
    double carb1 = 0;
    double carb2 = 0;
    const int last = source.rationIsEmpty() ? 0 : source.rationUpperBound();
    for (int i = 1; i <= last; ++i) {
        const double kkal = source.GetDishKkal(i);
        const double p = source.GetDishProtein(i);
        const double f = source.GetDishFat(i);
        const double c1 = source.GetDishCarb1(i);
        const double c2 = source.GetDishCarb2(i);
        // The share of a row is taken from its rounded energy, as printed.
        table.rows << Row{QString::number(i),
                          source.GetDishName(i),
                          source.GetDishWeight(i),
                          RussianFormat::pattern00(p),
                          RussianFormat::pattern00(f),
                          RussianFormat::pattern00(c1 + c2),
                          RussianFormat::pattern0(kkal),
                          share(kkal, table.need)};
        protein += p;
        fat += f;
        carb1 += c1;
        carb2 += c2;
    }
    // Formatted from the unrounded sums, not from the rows above.
    const double total = totalKkal(protein, fat, carb1, carb2);
    table.totals = Row{QString(),
                       u"Итого:"_s,
                       QString(),
                       RussianFormat::pattern00(protein),
                       RussianFormat::pattern00(fat),
                       RussianFormat::pattern00(carb1 + carb2),
                       RussianFormat::pattern0(total),
                       share(total, table.need)};
    return table;
}
