#include "report/FakeReportSource.h"
#include "report/RationCsv.h"
#include "report/RationTable.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

FakeReportSource twoDishes()
{
    FakeReportSource source;
    // 10.04 g twice: 10,0 in each row, 20,1 in the totals. Server names may hold line breaks.
    source.dishes = {{u"Борщ; \"наш\"\r\nдомашний"_s, u"150/50"_s, 10.04, 5, 20, 30},
                     {u"=Чай\rс лимоном"_s, u"200"_s, 10.04, 0, 1, 0}};
    return source;
}

} // namespace

class TestRationCsv : public QObject
{
    Q_OBJECT

private slots:
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
};

QTEST_GUILESS_MAIN(TestRationCsv)
#include "TestRationCsv.moc"
