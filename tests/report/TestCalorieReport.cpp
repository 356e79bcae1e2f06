#include "CalorieReport.h"
#include "FakeReportSource.h"
#include "RecordingCanvas.h"
#include "Settings.h"
#include "TempSettings.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

namespace {

const QDate kVisit(2026, 12, 6);

QString spaces(int n)
{
    return QString(n, u' ');
}
QString rule()
{
    return QString(96, u'_');
}
const QString kHeader1 =
    u"Выход,               Пищевая ценность              Калорийность,   Удовлетворение"_qs;
const QString kHeader2 =
    u"Белки,г    Жиры, г    Углеводы,г          ккал               суточной потребности, %"_qs;
const QString kColumn = u"Изделие (блюдо)                                       г."_qs;
const QString kNote =
    u"Примечание. Примерное распределение калорийности по приемам: завтрак - 25%, обед - 35%, "
    u"полдник - 15%, ужин - 25%."_qs;
const QString kFooter = u"Отчет подготовлен в программе 'Ventaro', в.5.ХХ"_qs;

std::unique_ptr<RecordingCanvas> compose(const FakeReportSource& source)
{
    auto canvas = std::make_unique<RecordingCanvas>();
    CalorieReport(source, kVisit).Form_Kkal(*canvas);
    return canvas;
}

// Line heights of the page's fonts, measured as the page measures them.
struct Lines
{
    double title, normal, bold, footer;
};
Lines lineHeights()
{
    RecordingCanvas c;
    c.setFontName(u"Times New Roman"_qs);
    c.setFontSize(14);
    Lines l{c.lineHeight(), 0, 0, 0};
    c.setFontSize(10);
    l.normal = c.lineHeight();
    c.setBold(true);
    l.bold = c.lineHeight();
    c.setBold(false);
    c.setFontSize(8);
    l.footer = c.lineHeight();
    return l;
}

// The lines printed on the row of `name` (the same whole-pixel height), left
// to right.
QList<RecordingCanvas::Op> rowOps(const RecordingCanvas& canvas, const QString& name)
{
    const auto* first = canvas.find(name);
    if (!first)
        return {};
    QList<RecordingCanvas::Op> row;
    for (const auto& op : canvas.ops())
        if (std::round(op.y) == std::round(first->y))
            row << op;
    std::sort(row.begin(), row.end(), [](const auto& a, const auto& b) { return a.x < b.x; });
    return row;
}

// The same as "text@x" cells.
QStringList rowOf(const RecordingCanvas& canvas, const QString& name)
{
    QStringList cells;
    for (const auto& op : rowOps(canvas, name))
        cells << u"%1@%2"_qs.arg(op.text).arg(op.x);
    return cells;
}

} // namespace

class TestCalorieReport : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_settings = std::make_unique<TempSettings>();
        Setting::NamePOP.set(u"Столовая №5"_qs);
    }
    void cleanup() { m_settings.reset(); }

    void breaksNamesEveryThirtyCharacters_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("indent");
        QTest::addColumn<QString>("broken");
        const QString a30 = QString(30, u'а');
        const QString b30 = QString(30, u'б');
        const QString ind = u'\r' + spaces(24);
        QTest::newRow("empty") << QString() << 24 << QString();
        QTest::newRow("short") << u"Борщ"_qs << 24 << u"Борщ"_qs;
        QTest::newRow("29 characters") << QString(29, u'ж') << 24 << QString(29, u'ж');
        QTest::newRow("30 characters end with an indent-only line") << a30 << 24 << a30 + ind;
        QTest::newRow("31 characters") << a30 + u"я"_qs << 24 << a30 + ind + u"я"_qs;
        QTest::newRow("59 characters") << a30 + QString(29, u'б') << 24 << a30 + ind + QString(29, u'б');
        QTest::newRow("60 characters") << a30 + b30 << 24 << a30 + ind + b30 + ind;
        QTest::newRow("breaks inside words") << u"Котлета рубленая из говядины с гарниром"_qs << 24
                                             << u"Котлета рубленая из говядины с"_qs + ind + u" гарниром"_qs;
        QTest::newRow("other indent") << a30 + u"x"_qs << 2 << a30 + u"\r  x"_qs;
        QTest::newRow("no indent") << a30 + u"x"_qs << 0 << a30 + u"\rx"_qs;
    }
    void breaksNamesEveryThirtyCharacters()
    {
        QFETCH(QString, name);
        QFETCH(int, indent);
        QFETCH(QString, broken);
        QCOMPARE(CalorieReport::GetStr(name, indent), broken);
    }

    void composesTheWholePageInOrder()
    {
        FakeReportSource source;
        source.dishes << FakeReportSource::dish(u"Борщ"_qs, u"250"_qs, 4.5, 6.25, 10.1, 3);
        const auto canvas = compose(source);
        const Lines l = lineHeights();

        const double dateY = 70 + l.title;
        const double header2Y = std::round(dateY + 4 * l.normal);
        const double rowY = std::round(header2Y + 2 * l.normal);
        const double totalsY = rowY + 2 * l.normal; // "Итого:" keeps the unrounded height
        const double ruleY = std::round(totalsY) + l.bold;
        struct Expected
        {
            QString text;
            double x;
            double y;
            double size;
            bool bold;
        };
        const QList<Expected> expected = {
            {u"Расчет калорийности"_qs, 300, 70, 14, false},
            {u"Дата посещения: 6 декабря 2026 г."_qs + spaces(10) + u"предприятие: Столовая №5"_qs, 70, dateY,
             10, false},
            {u"группа: "_qs + source.group, 70, dateY + l.normal, 10, false},
            {rule(), 70, dateY + 2 * l.normal, 10, false},
            {kHeader1, 270, dateY + 3 * l.normal, 10, false},
            {kHeader2, 320, header2Y, 10, false},
            {kColumn, 70, header2Y, 10, false},
            {rule(), 70, header2Y + l.normal, 10, false},
            {u"250"_qs, 280, rowY, 10, false},
            {u"4,5"_qs, 320, rowY, 10, false},
            {u"6,3"_qs, 380, rowY, 10, false},
            {u"13,1"_qs, 450, rowY, 10, false},
            {u"125"_qs, 520, rowY, 10, false}, // 56.25 + 18 + 38.38 + 12.3 = 124.93
            {u"5%"_qs, 620, rowY, 10, false},
            {u"Борщ"_qs, 70, rowY, 10, false},
            {rule(), 70, rowY + l.normal, 10, false},
            {u"Итого:"_qs, 70, totalsY, 10, true},
            {u"4,5"_qs, 320, std::round(totalsY), 10, true},
            {u"6,3"_qs, 380, std::round(totalsY), 10, true},
            {u"13,1"_qs, 450, std::round(totalsY), 10, true},
            {u"125"_qs, 520, std::round(totalsY), 10, true},
            {u"5%"_qs, 620, std::round(totalsY), 10, true},
            {rule(), 70, ruleY, 10, false},
            {kNote, 70, ruleY + l.normal, 10, false},
            {kFooter, 70, ruleY + 3 * l.normal, 8, false},
        };
        QCOMPARE(canvas->ops().size(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            const auto& op = canvas->ops()[i];
            const auto& want = expected[i];
            QVERIFY2(op.text == want.text, qPrintable(u"op %1: \"%2\""_qs.arg(i).arg(op.text)));
            QVERIFY2(qFuzzyCompare(op.x + 1, want.x + 1), qPrintable(u"x of op %1: %2"_qs.arg(i).arg(op.x)));
            QVERIFY2(std::abs(op.y - want.y) < 1e-9,
                     qPrintable(u"y of op %1: %2, not %3"_qs.arg(i).arg(op.y).arg(want.y)));
            QCOMPARE(op.size, want.size);
            QCOMPARE(op.bold, want.bold);
            QVERIFY(op.family.contains(u"Times New Roman"_qs));
        }
    }

    void emptyRationGivesTheHeadOnly()
    {
        FakeReportSource source; // one empty entry
        const auto canvas = compose(source);
        QCOMPARE(canvas->ops().size(), 8);
        QCOMPARE(canvas->ops().first().text, u"Расчет калорийности"_qs);
        QCOMPARE(canvas->ops().last().text, rule());
        QVERIFY(!canvas->find(u"Итого:"_qs));
        QVERIFY(!canvas->find(kNote));
        QVERIFY(!canvas->find(kFooter));
    }

    void rowHeightFollowsTheBrokenName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QStringList>("continuations"); // drawn at x = 0
        const QString a30 = QString(30, u'а');
        QTest::newRow("30 characters: a blank extra line") << a30 << 2 << QStringList{spaces(24)};
        QTest::newRow("31 characters: two lines") << a30 + u"б"_qs << 2 << QStringList{spaces(24) + u"б"_qs};
        QTest::newRow("29 characters: one line") << QString(29, u'в') << 1 << QStringList{};
        QTest::newRow("empty name still takes a line") << QString() << 1 << QStringList{};
        QTest::newRow("65 characters: three lines")
            << a30 + a30 + u"вввлл"_qs << 3 << QStringList{spaces(24) + a30, spaces(24) + u"вввлл"_qs};
    }
    void rowHeightFollowsTheBrokenName()
    {
        QFETCH(QString, name);
        QFETCH(int, lines);
        QFETCH(QStringList, continuations);
        FakeReportSource source;
        source.dishes << FakeReportSource::dish(name, u"100"_qs, 1, 1, 1, 1)
                      << FakeReportSource::dish(u"Следующее"_qs, u"200"_qs, 2, 2, 2, 2);
        const auto canvas = compose(source);
        const double line = lineHeights().normal;
        const auto* weight = canvas->find(u"100"_qs);
        const auto* next = canvas->find(u"Следующее"_qs);
        QVERIFY(weight && next);
        QCOMPARE(next->y, std::round(weight->y + lines * line));
        QStringList atLeftEdge;
        for (const auto& op : canvas->ops())
            if (op.x == 0)
                atLeftEdge << op.text;
        QCOMPARE(atLeftEdge, continuations);
        // The next row's cells all share its first line.
        QCOMPARE(rowOf(*canvas, u"Следующее"_qs),
                 (QStringList{u"Следующее@70"_qs, u"200@280"_qs, u"2,0@320"_qs, u"2,0@380"_qs, u"4,0@450"_qs,
                              u"42@520"_qs, u"2%@620"_qs}));
    }

    void totalsComeFromUnroundedSums_data()
    {
        QTest::addColumn<QList<double>>("proteins");
        QTest::addColumn<QStringList>("rowProteins");
        QTest::addColumn<QString>("totalProtein");
        QTest::newRow("two of 10,04 g")
            << QList<double>{10.04, 10.04} << QStringList{u"10,0"_qs, u"10,0"_qs} << u"20,1"_qs;
        QTest::newRow("three of 0,05 g")
            << QList<double>{0.05, 0.05, 0.05} << QStringList{u"0,1"_qs, u"0,1"_qs, u"0,1"_qs} << u"0,2"_qs;
        QTest::newRow("one dish") << QList<double>{7.25} << QStringList{u"7,3"_qs} << u"7,3"_qs;
    }
    void totalsComeFromUnroundedSums()
    {
        QFETCH(QList<double>, proteins);
        QFETCH(QStringList, rowProteins);
        QFETCH(QString, totalProtein);
        FakeReportSource source;
        for (int i = 0; i < proteins.size(); ++i)
            source.dishes << FakeReportSource::dish(u"Блюдо %1"_qs.arg(i + 1), u"100"_qs, proteins[i], 0, 0,
                                                    0);
        const auto canvas = compose(source);
        for (int i = 0; i < proteins.size(); ++i)
            QCOMPARE(rowOf(*canvas, u"Блюдо %1"_qs.arg(i + 1)).value(2), rowProteins[i] + u"@320"_qs);
        const auto totals = rowOf(*canvas, u"Итого:"_qs);
        QCOMPARE(totals.value(1), totalProtein + u"@320"_qs);
        const auto totalsRow = rowOps(*canvas, u"Итого:"_qs);
        QCOMPARE(totalsRow.size(), 6);
        for (const auto& op : totalsRow)
            QVERIFY(op.bold);
    }

    void totalEnergyComesFromTheNutrients()
    {
        // Rows of 100 (99,56) and 201 (200,88) kcal: their sum would be 301,
        // the nutrients give 300,44.
        FakeReportSource source;
        source.dishes << FakeReportSource::dish(u"Каша"_qs, u"200"_qs, 0, 0, 26.2, 0)
                      << FakeReportSource::dish(u"Масло"_qs, u"25"_qs, 0, 22.32, 0, 0);
        QCOMPARE(source.dishes[0].kkal, 100.0);
        QCOMPARE(source.dishes[1].kkal, 201.0);
        const auto canvas = compose(source);
        QCOMPARE(rowOf(*canvas, u"Каша"_qs).value(5), u"100@520"_qs);
        QCOMPARE(rowOf(*canvas, u"Масло"_qs).value(5), u"201@520"_qs);
        QCOMPARE(rowOf(*canvas, u"Итого:"_qs).value(4), u"300@520"_qs);
    }

    void shareUsesTheRoundedRowEnergy_data()
    {
        QTest::addColumn<double>("kkal");
        QTest::addColumn<double>("need");
        QTest::addColumn<QString>("share");
        QTest::newRow("250 of 2000 is 12,5: away from zero") << 250.0 << 2000.0 << u"13%"_qs;
        QTest::newRow("249 of 2000") << 249.0 << 2000.0 << u"12%"_qs;
        QTest::newRow("2450 of 2450") << 2450.0 << 2450.0 << u"100%"_qs;
        QTest::newRow("0 kcal") << 0.0 << 2000.0 << u"0%"_qs;
    }
    void shareUsesTheRoundedRowEnergy()
    {
        QFETCH(double, kkal);
        QFETCH(double, need);
        QFETCH(QString, share);
        FakeReportSource source;
        source.need = need;
        source.dishes << FakeReportSource::Dish{u"Суп"_qs, u"300"_qs, kkal / 4, 0, 0, 0, kkal};
        const auto canvas = compose(source);
        QCOMPARE(rowOf(*canvas, u"Суп"_qs).value(6), share + u"@620"_qs);
        QCOMPARE(rowOf(*canvas, u"Итого:"_qs).value(5), share + u"@620"_qs);
    }

    void unknownNeedLeavesTheShareCellsEmpty_data()
    {
        QTest::addColumn<double>("need");
        QTest::newRow("no norm: 0") << 0.0;
        QTest::newRow("negative") << -2000.0;
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity();
    }
    void unknownNeedLeavesTheShareCellsEmpty()
    {
        QFETCH(double, need);
        FakeReportSource source;
        source.need = need;
        source.dishes << FakeReportSource::dish(u"Суп"_qs, u"300"_qs, 10, 5, 20, 30)
                      << FakeReportSource::dish(u"Чай"_qs, u"200"_qs, 0, 0, 15, 0);
        const auto canvas = compose(source);
        for (const auto& op : canvas->ops()) {
            QVERIFY2(op.x != 620, qPrintable(op.text));
            QVERIFY2(!op.text.contains(u"inf"_qs) && !op.text.contains(u"nan"_qs), qPrintable(op.text));
        }
        // The rest of the page is there.
        QCOMPARE(rowOf(*canvas, u"Суп"_qs).value(5), u"284@520"_qs);
        QCOMPARE(rowOf(*canvas, u"Итого:"_qs).value(4), u"341@520"_qs);
        QVERIFY(canvas->find(kNote));
        QVERIFY(canvas->find(kFooter));
    }

    void twentyFiveOneLineDishesFitOnThePage()
    {
        FakeReportSource source;
        for (int i = 1; i <= 25; ++i)
            source.dishes << FakeReportSource::dish(u"Блюдо номер %1 из рациона"_qs.arg(i), u"150/50"_qs, 5,
                                                    5, 10, 10);
        const auto canvas = compose(source);
        for (int i = 1; i <= 25; ++i)
            QVERIFY(canvas->find(u"Блюдо номер %1 из рациона"_qs.arg(i)));
        const auto* footer = canvas->find(kFooter);
        QVERIFY(footer);
        QVERIFY(footer->y + footer->lineHeight <= ReportCanvas::kPageHeight);
        QCOMPARE(footer->size, 8.0);
        // Rows follow each other one line apart.
        const double line = lineHeights().normal;
        const double first = canvas->find(u"Блюдо номер 1 из рациона"_qs)->y;
        const double last = canvas->find(u"Блюдо номер 25 из рациона"_qs)->y;
        QVERIFY(std::abs(last - first - 24 * line) <= 24 * 0.5 + 1e-9);
    }

    void longNamesRunOffThePageAndAreCut()
    {
        FakeReportSource source;
        for (int i = 1; i <= 25; ++i)
            source.dishes << FakeReportSource::dish(QString(200, QChar(u'А' + i)), u"100"_qs, 1, 1, 1, 1);
        const auto canvas = compose(source);
        QVERIFY(!canvas->find(kFooter));
        for (const auto& op : canvas->ops())
            QVERIFY(op.y < ReportCanvas::kPageHeight);
    }

    void readsTheGroupAndEnterpriseWhenComposing()
    {
        FakeReportSource source;
        source.group = u"Женщины "_qs;
        CalorieReport report(source, kVisit);
        Setting::NamePOP.set(u"Кафе <b>\"Уют\"</b>"_qs);
        RecordingCanvas canvas;
        report.Form_Kkal(canvas);
        QCOMPARE(canvas.ops()[2].text, u"группа: Женщины "_qs);
        QVERIFY(canvas.ops()[1].text.endsWith(u"предприятие: Кафе <b>\"Уют\"</b>"_qs));
    }

private:
    std::unique_ptr<TempSettings> m_settings;
};

QTEST_MAIN(TestCalorieReport)
#include "TestCalorieReport.moc"
