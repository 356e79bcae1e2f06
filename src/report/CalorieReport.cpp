#include "report/CalorieReport.h"

#include "common/RussianFormat.h"
#include "common/Settings.h"
#include "report/RationTable.h"
#include "report/ReportCanvas.h"
#include "report/ReportSource.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

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

// A cell that would run into the next column is printed smaller, down to this
// size, and only then continued under itself; it always keeps this gap.
constexpr double kSmallestPoints = 6;
constexpr double kPointStep = 0.5;
constexpr double kColumnGap = 2;

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

bool isBreakAfter(QChar c)
{
    return c == u'/' || c == u'\\';
}

// The pieces of `text` that each fit `room` after `prefix` in the current font,
// cut after a weight's "/" where one falls inside a piece. At most `maxPieces`:
// what would start below the page is never printed.
QStringList fittingPieces(const ReportCanvas& PI, const QString& prefix, const QString& text, double room,
                          qsizetype maxPieces)
{
    QStringList pieces;
    qsizetype from = 0;
    while (from < text.size() && pieces.size() < maxPieces) {
        qsizetype length = 1; // at least one character, so the text always ends
        while (from + length < text.size() && PI.textWidth(prefix + text.mid(from, length + 1)) <= room)
            ++length;
        if (from + length < text.size()) {
            for (qsizetype cut = length - 1; cut > 0; --cut) {
                if (isBreakAfter(text.at(from + cut - 1))) {
                    length = cut;
                    break;
                }
            }
        }
        pieces << prefix + text.mid(from, length);
        from += length;
    }
    return pieces;
}

// Prints one line of a cell at x on line y so that it ends within `room`
// pixels: as designed when it fits; else at the largest size down to 6 pt at
// which it fits; else at 6 pt, continued on the lines below at the same x.
// Leading blanks (the indent of a name's continuation line) start every piece.
// Returns the number of lines of the row's font it takes.
int printFitted(ReportCanvas& PI, double x, double y, const QString& line, double room)
{
    if (PI.textWidth(line) <= room) {
        printOnLine(PI, x, y, line);
        return 1;
    }
    const double rowPoints = PI.fontSize();
    const double pitch = PI.lineHeight();
    double points = rowPoints;
    while (points > kSmallestPoints && PI.textWidth(line) > room) {
        points = std::max(points - kPointStep, kSmallestPoints);
        PI.setFontSize(points);
    }
    qsizetype indent = 0;
    while (indent < line.size() && line.at(indent) == u' ')
        ++indent;
    const auto linesLeft = qsizetype(std::max(1.0, std::ceil((ReportCanvas::kPageHeight - y) / pitch)));
    const QStringList pieces = fittingPieces(PI, line.left(indent), line.mid(indent), room, linesLeft);
    for (qsizetype i = 0; i < pieces.size(); ++i)
        printOnLine(PI, x, y + double(i) * pitch, pieces[i]);
    PI.setFontSize(rowPoints);
    return int(std::max<qsizetype>(pieces.size(), 1));
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
    PI.setFontName(u"Times New Roman"_s);
    PI.setFontSize(14);
    printOnLine(PI, 300, 70, u"Расчет калорийности"_s);
    PI.setFontSize(10);

    printAt(PI, kLeft,
            u"Дата посещения: "_s + RussianFormat::longDate(m_visitDate) + spaces(10) + u"предприятие: "_s +
                Setting::NamePOP.get());
    printAt(PI, kLeft, u"группа: "_s + m_source.GetFullGroup());
    printAt(PI, kLeft, rule());
    printAt(PI, 270,
            u"Выход,"_s + spaces(15) + u"Пищевая ценность"_s + spaces(14) + u"Калорийность,"_s + spaces(3) +
                u"Удовлетворение"_s);
    double Y = wholePixel(PI.y());
    printOnLine(PI, kProteinX, Y,
                u"Белки,г"_s + spaces(4) + u"Жиры, г"_s + spaces(4) + u"Углеводы,г"_s + spaces(10) +
                    u"ккал"_s + spaces(15) + u"суточной потребности, %"_s);
    printOnLine(PI, kLeft, Y, u"Изделие (блюдо)"_s + spaces(39) + u"г."_s);
    printAt(PI, kLeft, rule());

    if (m_source.rationIsEmpty())
        return;

    const RationTable table = RationTable::from(m_source);
    for (const RationTable::Row& row : table.rows) {
        Y = wholePixel(PI.y());
        const double pitch = PI.lineHeight();
        const int weightLines = printFitted(PI, kWeightX, Y, row.weight, kProteinX - kWeightX - kColumnGap);
        printOnLine(PI, kProteinX, Y, row.protein);
        printOnLine(PI, kFatX, Y, row.fat);
        printOnLine(PI, kCarbX, Y, row.carb);
        printOnLine(PI, kKkalX, Y, row.kkal);
        printOnLine(PI, kShareX, Y, row.share);
        // The name comes last: the first of its lines at the left margin, the
        // rest at the page's edge after their indent. The next row starts below
        // its last line, or below the weight's if that took more.
        int nameLines = 0;
        const QStringList lines = GetStr(row.name, kNameIndent).split(u'\r');
        for (qsizetype l = 0; l < lines.size(); ++l) {
            const double x = l == 0 ? kLeft : 0;
            nameLines += printFitted(PI, x, Y + nameLines * pitch, lines[l], kWeightX - kColumnGap - x);
        }
        PI.setX(0);
        PI.setY(Y + std::max(nameLines, weightLines) * pitch);
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
            u"полдник - 15%, ужин - 25%."_s);
    PI.print(QString());
    PI.setFontSize(PI.fontSize() - 2);
    printAt(PI, kLeft, u"Отчет подготовлен в программе 'Ventaro', в.5.ХХ"_s);
}
