#include "DemoDatabase.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

class TestDemoDatabase : public QObject
{
    Q_OBJECT

private slots:
    void refusesWhatIsNotTheDatabase_data()
    {
        QTest::addColumn<QString>("content"); // empty: no file at all
        QTest::addColumn<QString>("message");
        QTest::newRow("missing file") << QString() << u"no such database file"_qs;
        QTest::newRow("text file") << u"not a database, just text that is long enough"_qs
                                   << u"not a database"_qs;
        QTest::newRow("other schema") << u"sqlite:7"_qs << u"schema version 7, 1 expected"_qs;
    }
    void refusesWhatIsNotTheDatabase()
    {
        QFETCH(QString, content);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"db.sqlite"_qs);
        if (content.startsWith(u"sqlite:"_qs)) {
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_qs, u"maker"_qs);
                db.setDatabaseName(path);
                QVERIFY(db.open());
                QSqlQuery(db).exec(u"PRAGMA user_version = "_qs + content.mid(7));
                db.close();
            }
            QSqlDatabase::removeDatabase(u"maker"_qs);
        } else if (!content.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content.toUtf8());
        }
        DemoDatabase database;
        const QString error = database.open(path);
        QVERIFY2(error.contains(message), qPrintable(error));
        // A missing file is not created by the attempt.
        QCOMPARE(QFile::exists(path), !content.isEmpty());
        QVERIFY_THROWS_EXCEPTION(DemoDatabase::Failure, database.collections());
        QVERIFY_THROWS_EXCEPTION(DemoDatabase::Failure, database.dishNames(u"Фрукты"_qs));
    }

    void listsCollectionsInCatalogueOrder()
    {
        DemoDatabase database;
        QCOMPARE(database.open(QStringLiteral(BRASTEL_DEMO_DB)), QString());
        const QList<DemoDatabase::Collection> collections = database.collections();
        QCOMPARE(collections.size(), 21);
        QCOMPARE(collections[0].name, u"Комплексные блюда"_qs);
        QCOMPARE(collections[0].dishCount, 10);
        QCOMPARE(collections[1].name, u"Злаки и просо"_qs);
        QCOMPARE(collections[1].dishCount, 24);
        QCOMPARE(collections[1].source, u"IFCT 2017: Cereals and Millets"_qs);
        QCOMPARE(collections[20].name, u"Пищевые масла и жиры"_qs);
        int dishes = 0;
        for (const auto& c : collections)
            dishes += c.dishCount;
        QCOMPARE(dishes, 552);
    }

    // Names are keys sent back by the client: only the exact text finds them.
    void findsDishesByExactName_data()
    {
        QTest::addColumn<QString>("collection");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("first");
        QTest::newRow("exact") << u"Злаки и просо"_qs << 24 << u"Amaranth seed, black"_qs;
        QTest::newRow("composites") << u"Комплексные блюда"_qs << 10 << u"Рис с куриной грудкой"_qs;
        QTest::newRow("other case") << u"злаки и просо"_qs << -1 << QString();
        QTest::newRow("leading blank") << u" Злаки и просо"_qs << -1 << QString();
        QTest::newRow("trailing blank") << u"Злаки и просо "_qs << -1 << QString();
        QTest::newRow("empty") << QString() << -1 << QString();
        QTest::newRow("SQL pattern") << u"%"_qs << -1 << QString();
        QTest::newRow("SQL quote") << u"' OR '1'='1"_qs << -1 << QString();
    }
    void findsDishesByExactName()
    {
        QFETCH(QString, collection);
        QFETCH(int, count);
        QFETCH(QString, first);
        DemoDatabase database;
        QCOMPARE(database.open(QStringLiteral(BRASTEL_DEMO_DB)), QString());
        const std::optional<QStringList> names = database.dishNames(collection);
        QCOMPARE(names.has_value(), count >= 0);
        if (names) {
            QCOMPARE(names->size(), count);
            QCOMPARE(names->first(), first);
        }
    }

    // "Cat fish" and "Crab" are in two collections each, with other values.
    void compositionBelongsToItsCollection()
    {
        DemoDatabase database;
        QCOMPARE(database.open(QStringLiteral(BRASTEL_DEMO_DB)), QString());
        const auto marine = database.composition(u"Морская рыба"_qs, u"Cat fish"_qs);
        const auto freshwater = database.composition(u"Пресноводная рыба и ракообразные"_qs, u"Cat fish"_qs);
        QVERIFY(marine && freshwater);
        QCOMPARE(marine->protein, 22.18);
        QCOMPARE(freshwater->protein, 15.86);
        QCOMPARE(marine->outputWeight, u"100"_qs);
        QVERIFY(!database.composition(u"Фрукты"_qs, u"Cat fish"_qs));
        QVERIFY(!database.composition(u"Морская рыба"_qs, u"cat fish"_qs));
        const auto composite = database.composition(u"Комплексные блюда"_qs, u"Фруктовый салат"_qs);
        QVERIFY(composite);
        QCOMPARE(composite->outputWeight, u"100/100/50"_qs);
        QCOMPARE(composite->name, u"Фруктовый салат"_qs);
    }

    void normsComeInTableOrder()
    {
        DemoDatabase database;
        QCOMPARE(database.open(QStringLiteral(BRASTEL_DEMO_DB)), QString());
        const auto men = database.norms(DemoDatabase::Sex::Men);
        const auto women = database.norms(DemoDatabase::Sex::Women);
        QCOMPARE(men.size(), 15);
        QCOMPARE(women.size(), 12);
        QCOMPARE(men.first().group, u"I"_qs);
        QCOMPARE(men.first().kfa, u"1,4"_qs);
        QCOMPARE(men.first().ageBand, u"18-29"_qs);
        QCOMPARE(men.first().energyKcal, 2450.0);
        QCOMPARE(men.last().group, u"V"_qs);
        QCOMPARE(men.last().energyKcal, 3750.0);
        QCOMPARE(women.last().group, u"IV"_qs);
        QCOMPARE(women.last().kfa, u"2,2"_qs);
        QCOMPARE(women.last().ageBand, u"40-59"_qs);
        QCOMPARE(women.last().energyKcal, 2850.0);
        for (qsizetype i = 1; i < men.size(); ++i)
            QVERIFY(men[i - 1].id < men[i].id);
    }

    // Two instances on one thread keep their own connections.
    void instancesAreIndependent()
    {
        DemoDatabase a;
        QCOMPARE(a.open(QStringLiteral(BRASTEL_DEMO_DB)), QString());
        {
            DemoDatabase b;
            QCOMPARE(b.open(QStringLiteral(BRASTEL_DEMO_DB)), QString());
            QCOMPARE(b.collections().size(), 21);
        }
        QCOMPARE(a.collections().size(), 21);
    }
};

QTEST_GUILESS_MAIN(TestDemoDatabase)
#include "TestDemoDatabase.moc"
