#include "common/Settings.h"
#include "report/CalorieReport.h"
#include "report/FakeReportSource.h"
#include "report/RationCsv.h"
#include "report/RationTable.h"
#include "report/ReportCanvas.h"
#include "support/TempSettings.h"

#include <QFile>
#include <QPicture>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
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

FakeReportSource twoDishes()
{
    FakeReportSource source;
    // 10.04 g twice: 10,0 in each row, 20,1 in the totals. Server names may hold line breaks.
    source.dishes = {{u"Борщ; \"наш\"\r\nдомашний"_s, u"150/50"_s, 10.04, 5, 20, 30},
                     {u"=Чай\rс лимоном"_s, u"200"_s, 10.04, 0, 1, 0}};
    return source;
}

double lineHeight(double points, bool bold = false)
{
    RecordingCanvas canvas;
    canvas.setFontName(u"Times New Roman"_s);
    canvas.setFontSize(points);
    canvas.setBold(bold);
    return canvas.lineHeight();
}

} // namespace

// The report's figures, as a table, as CSV and as the printed page.
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

    // Each row, then the totals from the unrounded sums; shares only of a known need.
    void tabulatesTheRation_data()
    {
        QTest::addColumn<QList<double>>("values"); // protein, fat, carb1, carb2 of each dish; the need
        QTest::addColumn<QString>("cells");        // protein|fat|carb|kcal|share of each row and the totals
        QTest::newRow("two of 10,04 g protein: 20,1, not 20,0")
            << QList<double>{10.04, 0, 0, 0, 10.04, 0, 0, 0, 2000}
            << u"10,0|0,0|0,0|40|2%|10,0|0,0|0,0|40|2%|20,1|0,0|0,0|80|4%"_s;
        QTest::newRow("100 + 201 kcal: 300 from the nutrients, not 301")
            << QList<double>{0, 0, 26.2, 0, 0, 22.32, 0, 0, 2000}
            << u"0,0|0,0|26,2|100|5%|0,0|22,3|0,0|201|10%|0,0|22,3|26,2|300|15%"_s;
        QTest::newRow("250 of 2000 kcal: 13%, halves away from zero")
            << QList<double>{62.5, 0, 0, 0, 2000} << u"62,5|0,0|0,0|250|13%|62,5|0,0|0,0|250|13%"_s;
        QTest::newRow("empty ration: zeros") << QList<double>{2000} << u"0,0|0,0|0,0|0|0%"_s;
    }
    void tabulatesTheRation()
    {
        QFETCH(QList<double>, values);
        QFETCH(QString, cells);
        FakeReportSource source;
        source.need = values.takeLast();
        for (qsizetype i = 0; i < values.size(); i += 4)
            source.dishes << FakeReportSource::Dish{u"Блюдо"_s,    u"100"_s,      values[i],
                                                    values[i + 1], values[i + 2], values[i + 3]};
        const RationTable table = RationTable::from(source);
        QStringList got;
        for (const RationTable::Row& row : table.rows + QList{table.totals})
            got << row.protein << row.fat << row.carb << row.kkal << row.share;
        QCOMPARE(got.join(u'|'), cells);
    }

    // LibreOffice imports it as a Russian-setting user does and writes it back
    // with every text cell quoted, so the numbers it read as numbers stand bare;
    // a name with a line break stays one cell.
    void libreOfficeReadsIt()
    {
        const QString soffice = QStandardPaths::findExecutable(u"soffice"_s);
        QVERIFY2(!soffice.isEmpty(), "soffice missing: scripts/setup.sh installs libreoffice-calc-nogui");
        QTemporaryDir dir;
        QFile csv(dir.filePath(u"рацион.csv"_s));
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write(RationCsv::write(RationTable::from(twoDishes()), QDate(2026, 12, 7)));
        csv.close();
        QProcess lo;
        // A profile of its own, so the user's LibreOffice is never touched.
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert(u"HOME"_s, dir.path());
        lo.setProcessEnvironment(env);
        lo.start(soffice, {u"-env:UserInstallation=file://"_s + dir.filePath(u"profile"_s), u"--headless"_s,
                           u"--infilter=CSV:59,34,76,1,,1049"_s, u"--convert-to"_s,
                           u"csv:Text - txt - csv (StarCalc):59,34,76,1,,1049,true"_s, u"--outdir"_s,
                           dir.filePath(u"out"_s), csv.fileName()});
        QVERIFY(lo.waitForFinished(100000));
        QFile sheet(dir.filePath(u"out/рацион.csv"_s));
        QVERIFY2(sheet.open(QIODevice::ReadOnly), lo.readAllStandardError().constData());
        QCOMPARE(QString::fromUtf8(sheet.readAll()),
                 (QStringList{u"\"Дата\";\"7 декабря 2026 г.\";;;;;;"_s,
                              u"\"Группа\";\"Мужчины I (1,4), 18-29 лет (2450 ккал)\";;;;;;"_s,
                              u"\"Суточная потребность, ккал\";2450;;;;;;"_s, u";;;;;;;"_s,
                              u"\"№\";\"Изделие (блюдо)\";\"Выход, г\";\"Белки, г\";\"Жиры, г\";"
                              u"\"Углеводы, г\";\"Калорийность, ккал\";"
                              u"\"Удовлетворение суточной потребности, %\""_s,
                              u"1;\"Борщ; \"\"наш\"\"\nдомашний\";\"150/50\";10;5;50;284;12"_s,
                              u"2;\"'=Чай\nс лимоном\";200;10;0;1;44;2"_s, u";\"Итого:\";;20.1;5;51;328;13"_s,
                              QString()})
                     .join(u'\n'));
        // With no need known its cell and the shares stay empty.
        FakeReportSource unknown = twoDishes();
        unknown.need = 0;
        const QByteArray bytes = RationCsv::write(RationTable::from(unknown), QDate(2026, 12, 7));
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QVERIFY(bytes.contains(u"ккал;\r\n\r\n"_s.toUtf8()) && bytes.contains(";328;\r\n"));
    }

private:
    TempSettings m_settings;
};

QTEST_MAIN(TestCalorieReport)
#include "TestCalorieReport.moc"
