#include "FakeReportSource.h"

#include "RussianFormat.h"

FakeReportSource::Dish FakeReportSource::dish(const QString& name, const QString& weight, double protein,
                                              double fat, double carb1, double carb2)
{
    const double kkal = 9 * fat + 4 * protein + 3.8 * carb1 + 4.1 * carb2;
    return Dish{
        name, weight, protein, fat, carb1, carb2, *RussianFormat::toDouble(RussianFormat::pattern0(kkal))};
}
