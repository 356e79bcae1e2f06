#include "server/DemoDatabase.h"
#include "server/LogText.h"
#include "server/RequestHandler.h"
#include "server/ServerOptions.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestServerParts : public QObject
{
    Q_OBJECT

private slots:
    void parsesOptions_data()
    {
        QTest::addColumn<QStringList>("args");
        // "address port database norms clients per-address idle", or the error
        QTest::addColumn<QString>("result");
        const QString wantsPort = u"--port wants a number from 0 to 65535, not "_s;
        QTest::newRow("defaults") << QStringList() << u"127.0.0.1 400 /opt/demo.sqlite norms 1000 50 60"_s;
        QTest::newRow("all options") << QStringList{u"--listen=::1"_s,    u"--port=65535"_s,
                                                    u"--db=/x"_s,         u"--no-norms"_s,
                                                    u"--max-clients=3"_s, u"--max-per-address=2"_s,
                                                    u"--idle-timeout=5"_s}
                                     << u"::1 65535 /x no-norms 3 2 5"_s;
        QTest::newRow("port too big") << QStringList{u"--port"_s, u"65536"_s} << wantsPort + u"\"65536\""_s;
        QTest::newRow("host name") << QStringList{u"--listen=localhost"_s}
                                   << u"--listen wants an IP address, not \"localhost\""_s;
        QTest::newRow("stray argument") << QStringList{u"400"_s} << u"unexpected argument: 400"_s;
        QTest::newRow("no clients") << QStringList{u"--max-clients=0"_s}
                                    << u"--max-clients wants a number from 1, not \"0\""_s;
        QTest::newRow("no clients per address") << QStringList{u"--max-per-address=0"_s}
                                                << u"--max-per-address wants a number from 1, not \"0\""_s;
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
                     : u"%1 %2 %3 %4 %5 %6 %7"_s.arg(o.address.toString())
                           .arg(o.port)
                           .arg(o.databasePath, o.norms ? u"norms"_s : u"no-norms"_s)
                           .arg(o.maxClients)
                           .arg(o.maxPerAddress)
                           .arg(o.idleTimeoutSeconds),
                 result);
    }

    // A client's text must not start a forged log line, move a terminal's
    // cursor or flood the log (line breaks are checked in TestBrastelDemo's log).
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

    // A failing database answers "$Err_inquiry" and tells the log, never
    // with an empty catalogue or dish list the client would take for real.
    void failingDatabaseIsNotAnEmptyAnswer_data()
    {
        QTest::addColumn<QString>("request");
        QTest::newRow("catalogue") << u"$GetDishTables"_s;
        QTest::newRow("dishes") << u"$GetDishes=Фрукты"_s;
        QTest::newRow("norms") << u"$Get_Man_Norm"_s;
    }
    void failingDatabaseIsNotAnEmptyAnswer()
    {
        QFETCH(QString, request);
        DemoDatabase closed;
        const RequestHandler::Outcome outcome = RequestHandler(closed, {}).handle(request);
        QVERIFY(outcome.action == RequestHandler::Action::Reply);
        QCOMPARE(outcome.text, u"$Err_inquiry"_s);
        QVERIFY2(outcome.logNote.startsWith(u"database failure: "_s), qPrintable(outcome.logNote));
    }
};

QTEST_GUILESS_MAIN(TestServerParts)
#include "TestServerParts.moc"
