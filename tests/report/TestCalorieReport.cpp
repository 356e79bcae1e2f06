#include "common/Settings.h"
#include "report/CalorieReport.h"
#include "report/FakeReportSource.h"
#include "report/ReportCanvas.h"
#include "support/TempSettings.h"

#include <QPicture>
#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString line(const QString& text, double x, double y)
{
    return text + u" @%1,%2"_s.arg(x).arg(y, 0, 'f', 2);
}

// The lines of a page as drawn, measured like the painted page (on a
// picture): text, top-left corner, both as line(), and font ("10pt bold").
class RecordingCanvas final : public ReportCanvas
{
public:
    explicit RecordingCanvas(const FakeReportSource* source = nullptr) : ReportCanvas(&metrics())
    {
        if (source)
            CalorieReport(*source, QDate(2026, 12, 6)).Form_Kkal(*this);
    }
    Q_DISABLE_COPY_MOVE(RecordingCanvas)

    QStringList texts, lines, fonts;
    QList<QPointF> at;
    QList<double> rights;

protected:
    void drawLine(const QPointF& topLeft, const QString& text) override
    {
        QVERIFY(font().family() == u"Times New Roman"_s);
        texts << text;
        rights << topLeft.x() + textWidth(text);
        lines << line(text, topLeft.x(), topLeft.y());
        at << topLeft;
        fonts << u"%1pt%2"_s.arg(font().pointSizeF()).arg(font().bold() ? u" bold"_s : QString());
    }

private:
    static const QPicture& metrics()
    {
        static const QPicture picture;
        return picture;
    }
};

const QString kRule(96, u'_');

double lineHeight(double points, bool bold = false)
{
    RecordingCanvas canvas;
    canvas.setFontName(u"Times New Roman"_s);
    canvas.setFontSize(points);
    canvas.setBold(bold);
    return canvas.lineHeight();
}

} // namespace

class TestCalorieReport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Setting::NamePOP.set(u"Кафе <b>\"Уют\"</b>"_s); }

    void composesTheWholePageInOrder()
    {
        FakeReportSource source, empty;
        source.dishes << FakeReportSource::Dish{u"Борщ"_s, u"250"_s, 4.5, 6.25, 10.1, 3};
        const double normal = lineHeight(10), date = 70 + lineHeight(14),
                     head = std::round(date + 4 * normal);
        const double dish = std::round(head + 2 * normal), totals = dish + 2 * normal;
        const double end = std::round(totals) + lineHeight(10, true);
        QStringList expected = {
            line(u"Расчет калорийности"_s, 300, 70),
            line(u"Дата посещения: 6 декабря 2026 г.          предприятие: Кафе <b>\"Уют\"</b>"_s, 70, date),
            line(u"группа: "_s + source.group, 70, date + normal),
            line(kRule, 70, date + 2 * normal),
            line(u"Выход,               Пищевая ценность              Калорийность,   Удовлетворение"_s, 270,
                 date + 3 * normal),
            line(u"Белки,г    Жиры, г    Углеводы,г          ккал               суточной потребности, %"_s,
                 320, head),
            line(u"Изделие (блюдо)                                       г."_s, 70, head),
            line(kRule, 70, head + normal),
        };
        // 18 + 56,25 + 38,38 + 12,3 kcal; the row's cells, then its name.
        const QStringList cells{u"250"_s, u"4,5"_s, u"6,3"_s, u"13,1"_s, u"125"_s, u"5%"_s};
        const int x[] = {280, 320, 380, 450, 520, 620};
        for (int i = 0; i < 6; ++i)
            expected << line(cells[i], x[i], dish);
        expected << line(u"Борщ"_s, 70, dish) << line(kRule, 70, dish + normal)
                 << line(u"Итого:"_s, 70, totals);
        for (int i = 1; i < 6; ++i)
            expected << line(cells[i], x[i], std::round(totals));
        expected
            << line(kRule, 70, end)
            << line(
                   u"Примечание. Примерное распределение калорийности по приемам: завтрак - 25%, обед - 35%, "
                   u"полдник - 15%, ужин - 25%."_s,
                   70, end + normal)
            << line(u"Отчет подготовлен в программе 'Ventaro', в.5.ХХ"_s, 70, end + 3 * normal);
        const RecordingCanvas page(&source);
        QCOMPARE(page.lines, expected);
        QCOMPARE(page.fonts, QStringList{u"14pt"_s} + QStringList(15, u"10pt"_s) +
                                 QStringList(6, u"10pt bold"_s) + QStringList(2, u"10pt"_s) +
                                 QStringList{u"8pt"_s});
        // The empty ration, one empty entry, gives the head only.
        QCOMPARE(RecordingCanvas(&empty).lines, expected.mid(0, 8));
    }

    // A name breaks every 30 characters onto indented lines at the page's edge; a
    // cell too wide shrinks down to 6 pt, then continues under itself.
    void rowCellsKeepToTheirColumns()
    {
        struct Case
        {
            QString name, weight;
            QString shrunk;     // the cell printed below 10 pt
            QStringList atEdge; // the name's lines at x = 0
            int lines;          // of the row
        };
        const QString a30(30, u'а'), indent(24, u' '), w = u"111"_s;
        const Case cases[] = {
            {a30, w, {}, {indent}, 2}, // an extra line of the indent only
            {a30 + a30, w, {}, {indent + a30, indent}, 3},
            {u"Борщ"_s, u"150/100/50"_s, u"weight"_s, {}, 1},
            {u"Борщ"_s, u"150/100/50/25/10/5"_s, u"weight"_s, {}, 2}, // too long even at 6 pt
            {QString(29, u'Ш'), u"250"_s, u"name"_s, {}, 2},
        };
        for (const auto& [name, weight, shrunk, atEdge, lines] : cases) {
            FakeReportSource source;
            source.dishes = {{name, weight, 1, 1, 1, 1}, {u"Следующее"_s, u"222"_s, 1, 1, 1, 1}};
            const RecordingCanvas page(&source);
            const qsizetype first = 8, next = page.texts.indexOf(u"222"_s); // the row below the head
            QString weightText, nameText;
            QStringList edge;
            QSet<double> rows;
            for (qsizetype i = first; i < next; ++i) {
                if (page.at[i].x() >= 320) { // the other cells stay as designed
                    QCOMPARE(page.fonts[i], u"10pt"_s);
                    continue;
                }
                const bool isWeight = page.at[i].x() == 280;
                QVERIFY2(page.rights[i] < (isWeight ? 320 : 280), qPrintable(page.lines[i]));
                QCOMPARE(page.fonts[i] != u"10pt"_s, shrunk == (isWeight ? u"weight"_s : u"name"_s));
                if (page.at[i].x() == 0)
                    edge << page.texts[i];
                else
                    (isWeight ? weightText : nameText) += page.texts[i];
                rows << page.at[i].y();
            }
            QCOMPARE(edge, atEdge);
            QCOMPARE(weightText + u'|' + nameText, weight + u'|' + name.left(30));
            QCOMPARE(rows.size(), lines);
            QCOMPARE(page.at[next].y(), std::round(page.at[first].y() + lines * lineHeight(10)));
        }
    }

private:
    TempSettings m_settings;
};

QTEST_MAIN(TestCalorieReport)
#include "TestCalorieReport.moc"
