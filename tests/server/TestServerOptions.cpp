#include "server/ServerOptions.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestServerOptions : public QObject
{
    Q_OBJECT

private slots:
    void parses_data()
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
        QTest::newRow("port negative") << QStringList{u"--port=-1"_s} << wantsPort + u"\"-1\""_s;
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
    void parses()
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
};

QTEST_GUILESS_MAIN(TestServerOptions)
#include "TestServerOptions.moc"
