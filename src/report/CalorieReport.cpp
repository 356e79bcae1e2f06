#include "CalorieReport.h"

#include "RationTable.h"
#include "ReportCanvas.h"
#include "ReportSource.h"
#include "RussianFormat.h"
#include "Settings.h"

#include <cmath>

namespace {

// Column positions in pixels of the page.
constexpr double kLeft = 70;
constexpr double kWeightX = 280;
constexpr double kProteinX = 320;
constexpr double kFatX = 380;
constexpr double kCarbX = 450;
constexpr double kKkalX = 520;
constexpr double kShareX = 620;

constexpr int kNameChunk = 30;

QString spaces(int count)
{
    return QString(count, u' ');
}

QString rule()
{
    return QString(96, u'_');
}

// Rows of the table share one baseline: every cell of a row is printed on the
// line where the row started, whole pixels as the page counts them.
double wholePixel(double y)
{
    return std::round(y);
}

void printAt(ReportCanvas& PI, double x, const QString& text)
{
    PI.setX(x);
    PI.print(text);
}

void printOnLine(ReportCanvas& PI, double x, double y, const QString& text)
{
    PI.setX(x);
    PI.setY(y);
    PI.print(text);
}

} // namespace

CalorieReport::CalorieReport(const ReportSource& source, QDate visitDate)
    : m_source(source), m_visitDate(visitDate)
{
}

QString CalorieReport::GetStr(QString sStr, int lAbzac)
{
    QString R;
    const QString indent = u'\r' + spaces(qMax(lAbzac, 0));
    // Walks the text instead of cutting it from the front, so a long text
    // costs one pass.
    qsizetype from = 0;
    while (sStr.size() - from >= kNameChunk) {
        if (!R.isEmpty())
            R += indent;
        R += QStringView(sStr).mid(from, kNameChunk);
        from += kNameChunk;
    }
    const QStringView rest = QStringView(sStr).mid(from);
    if (R.isEmpty()) {
        R = rest.toString();
    } else {
        R += indent;
        R += rest;
    }
    return R;
}

void CalorieReport::Form_Kkal(ReportCanvas& PI) const
{
    PI.setFontName(u"Times New Roman"_qs);
    PI.setFontSize(14);
    printOnLine(PI, 300, 70, u"Расчет калорийности"_qs);
    PI.setFontSize(10);

    printAt(PI, kLeft,
            u"Дата посещения: "_qs + RussianFormat::longDate(m_visitDate) + spaces(10) + u"предприятие: "_qs +
                Setting::NamePOP.get());
    printAt(PI, kLeft, u"группа: "_qs + m_source.GetFullGroup());
    printAt(PI, kLeft, rule());
    printAt(PI, 270,
            u"Выход,"_qs + spaces(15) + u"Пищевая ценность"_qs + spaces(14) + u"Калорийность,"_qs +
                spaces(3) + u"Удовлетворение"_qs);
    double Y = wholePixel(PI.y());
    printOnLine(PI, kProteinX, Y,
                u"Белки,г"_qs + spaces(4) + u"Жиры, г"_qs + spaces(4) + u"Углеводы,г"_qs + spaces(10) +
                    u"ккал"_qs + spaces(15) + u"суточной потребности, %"_qs);
    printOnLine(PI, kLeft, Y, u"Изделие (блюдо)"_qs + spaces(39) + u"г."_qs);
    printAt(PI, kLeft, rule());

    if (m_source.rationIsEmpty())
        return;

    const RationTable table = RationTable::from(m_source);
    for (const RationTable::Row& row : table.rows) {
        Y = wholePixel(PI.y());
        printOnLine(PI, kWeightX, Y, row.weight);
        printOnLine(PI, kProteinX, Y, row.protein);
        printOnLine(PI, kFatX, Y, row.fat);
        printOnLine(PI, kCarbX, Y, row.carb);
        printOnLine(PI, kKkalX, Y, row.kkal);
        printOnLine(PI, kShareX, Y, row.share);
        // The name comes last: its lines set where the next row starts.
        printOnLine(PI, kLeft, Y, GetStr(row.name, kNameIndent));
    }

    printAt(PI, kLeft, rule());
    PI.setBold(true);
    Y = wholePixel(PI.y());
    printAt(PI, kLeft, table.totals.name);
    printOnLine(PI, kProteinX, Y, table.totals.protein);
    printOnLine(PI, kFatX, Y, table.totals.fat);
    printOnLine(PI, kCarbX, Y, table.totals.carb);
    printOnLine(PI, kKkalX, Y, table.totals.kkal);
    printOnLine(PI, kShareX, Y, table.totals.share);
    PI.setBold(false);
    printAt(PI, kLeft, rule());
    printAt(PI, kLeft,
            u"Примечание. Примерное распределение калорийности по приемам: завтрак - 25%, обед - 35%, "
            u"полдник - 15%, ужин - 25%."_qs);
    PI.print(QString());
    PI.setFontSize(PI.fontSize() - 2);
    printAt(PI, kLeft, u"Отчет подготовлен в программе 'Ventaro', в.5.ХХ"_qs);
}
