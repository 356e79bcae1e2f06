#include "ServerOptions.h"

#include <QTest>

using Status = ServerOptions::Status;
Q_DECLARE_METATYPE(ServerOptions::Status)

class TestServerOptions : public QObject
{
    Q_OBJECT

private slots:
    void parses_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<Status>("status");
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("db");
        QTest::addColumn<bool>("norms");
        QTest::addColumn<QString>("message"); // part of the message

        const QString def = u"/opt/brastel-demo.sqlite"_qs;
        const QString lo = u"127.0.0.1"_qs;
        QTest::newRow("defaults") << QStringList{} << Status::Run << lo << 400 << def << true << QString();
        QTest::newRow("free port") << QStringList{u"--port"_qs, u"0"_qs} << Status::Run << lo << 0 << def
                                   << true << QString();
        QTest::newRow("all options") << QStringList{u"--listen=::1"_qs, u"--port=40123"_qs, u"--db"_qs,
                                                    u"/tmp/x.sqlite"_qs, u"--no-norms"_qs}
                                     << Status::Run << u"::1"_qs << 40123 << u"/tmp/x.sqlite"_qs << false
                                     << QString();
        QTest::newRow("help") << QStringList{u"--help"_qs} << Status::Help << lo << 400 << QString() << true
                              << u"--no-norms"_qs;
        QTest::newRow("short help") << QStringList{u"-h"_qs} << Status::Help << lo << 400 << QString() << true
                                    << u"--listen <ADDR>"_qs;
        QTest::newRow("port too big") << QStringList{u"--port"_qs, u"65536"_qs} << Status::Error << lo << 400
                                      << QString() << true << u"from 0 to 65535"_qs;
        QTest::newRow("port negative") << QStringList{u"--port=-1"_qs} << Status::Error << lo << 400
                                       << QString() << true << u"not \"-1\""_qs;
        QTest::newRow("port not a number") << QStringList{u"--port=http"_qs} << Status::Error << lo << 400
                                           << QString() << true << u"not \"http\""_qs;
        QTest::newRow("host name") << QStringList{u"--listen=localhost"_qs} << Status::Error << lo << 400
                                   << QString() << true << u"wants an IP address"_qs;
        QTest::newRow("unknown option") << QStringList{u"--verbose"_qs} << Status::Error << lo << 400
                                        << QString() << true << u"verbose"_qs;
        QTest::newRow("stray argument") << QStringList{u"400"_qs} << Status::Error << lo << 400 << QString()
                                        << true << u"unexpected argument: 400"_qs;
        QTest::newRow("no clients") << QStringList{u"--max-clients=0"_qs} << Status::Error << lo << 400
                                    << QString() << true << u"--max-clients"_qs;
    }
    void parses()
    {
        QFETCH(QStringList, args);
        QFETCH(Status, status);
        QFETCH(QString, address);
        QFETCH(int, port);
        QFETCH(QString, db);
        QFETCH(bool, norms);
        QFETCH(QString, message);
        const ServerOptions options =
            ServerOptions::parse(QStringList{u"brastel-demo"_qs} + args, u"/opt/brastel-demo.sqlite"_qs);
        QCOMPARE(options.status, status);
        QVERIFY2(options.message.contains(message), qPrintable(options.message));
        if (status != Status::Run)
            return;
        QCOMPARE(options.address, QHostAddress(address));
        QCOMPARE(int(options.port), port);
        QCOMPARE(options.databasePath, db);
        QCOMPARE(options.norms, norms);
    }

    void maxClients()
    {
        QCOMPARE(ServerOptions::parse({u"x"_qs}, {}).maxClients, 1000);
        QCOMPARE(ServerOptions::parse({u"x"_qs, u"--max-clients=3"_qs}, {}).maxClients, 3);
    }
};

QTEST_GUILESS_MAIN(TestServerOptions)
#include "TestServerOptions.moc"
