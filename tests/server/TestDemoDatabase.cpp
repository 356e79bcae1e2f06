#include "server/DemoDatabase.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestDemoDatabase : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(m_database.open(QStringLiteral(BRASTEL_DEMO_DB)), QString()); }

    void refusesAMissingFileWithoutCreatingIt()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"db.sqlite"_s);
        DemoDatabase database;
        const QString error = database.open(path);
        QCOMPARE(error, path + u": no such database file"_s);
        QVERIFY(!QFile::exists(path));
        QVERIFY_THROWS_EXCEPTION(DemoDatabase::Failure, database.collections());
    }

    // Runs after other instances came and went: each keeps its own connection.
    void holdsTheWholeCatalogue()
    {
        int dishes = 0;
        for (const DemoDatabase::Collection& c : m_database.collections())
            dishes += c.dishCount;
        QCOMPARE(m_database.collections().size(), 21);
        QCOMPARE(dishes, 542 + 10); // the extract's foods and the composite dishes
    }

private:
    DemoDatabase m_database;
};

QTEST_GUILESS_MAIN(TestDemoDatabase)
#include "TestDemoDatabase.moc"
