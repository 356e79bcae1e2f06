#include "CommandLine.h"

#include <QTest>

using Action = StartOptions::Action;

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void acceptedServers_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("port");

        QTest::newRow("nothing") << QStringList() << QString() << QString();
        QTest::newRow("ipv4 and port")
            << QStringList{u"--server"_qs, u"127.0.0.1:4000"_qs} << u"127.0.0.1"_qs << u"4000"_qs;
        QTest::newRow("ipv4 alone") << QStringList{u"--server"_qs, u"10.0.0.7"_qs} << u"10.0.0.7"_qs
                                    << QString();
        QTest::newRow("equals form") << QStringList{u"--server=localhost:400"_qs} << u"localhost"_qs
                                     << u"400"_qs;
        QTest::newRow("host name") << QStringList{u"--server"_qs, u"recipes.example-host.lan"_qs}
                                   << u"recipes.example-host.lan"_qs << QString();
        QTest::newRow("lowest port") << QStringList{u"--server"_qs, u"h:1"_qs} << u"h"_qs << u"1"_qs;
        QTest::newRow("highest port") << QStringList{u"--server"_qs, u"h:65535"_qs} << u"h"_qs << u"65535"_qs;
        QTest::newRow("ipv6 in brackets with port")
            << QStringList{u"--server"_qs, u"[::1]:400"_qs} << u"::1"_qs << u"400"_qs;
        QTest::newRow("ipv6 in brackets")
            << QStringList{u"--server"_qs, u"[fe80::1]"_qs} << u"fe80::1"_qs << QString();
        QTest::newRow("bare ipv6") << QStringList{u"--server"_qs, u"::1"_qs} << u"::1"_qs << QString();
        QTest::newRow("cyrillic name")
            << QStringList{u"--server"_qs, u"сервер.рф:400"_qs} << u"сервер.рф"_qs << u"400"_qs;
    }

    void acceptedServers()
    {
        QFETCH(QStringList, arguments);
        const StartOptions options = CommandLine::parse(arguments);
        QCOMPARE(options.action, Action::Run);
        QTEST(options.host, "host");
        QTEST(options.port, "port");
        QVERIFY(options.error.isEmpty());
    }

    void refused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("mentions");

        QTest::newRow("unknown option")
            << QStringList{u"--serve"_qs, u"h"_qs} << u"unknown argument \"--serve\""_qs;
        QTest::newRow("positional") << QStringList{u"127.0.0.1"_qs} << u"unknown argument \"127.0.0.1\""_qs;
        QTest::newRow("missing value") << QStringList{u"--server"_qs} << u"needs a value"_qs;
        QTest::newRow("twice") << QStringList{u"--server"_qs, u"a"_qs, u"--server"_qs, u"b"_qs}
                               << u"only once"_qs;
        QTest::newRow("empty value") << QStringList{u"--server="_qs} << u"malformed server \"\""_qs;
        QTest::newRow("port zero") << QStringList{u"--server"_qs, u"h:0"_qs}
                                   << u"malformed server \"h:0\""_qs;
        QTest::newRow("port too big") << QStringList{u"--server"_qs, u"h:65536"_qs} << u"malformed"_qs;
        QTest::newRow("port not digits") << QStringList{u"--server"_qs, u"h:4o0"_qs} << u"malformed"_qs;
        QTest::newRow("port signed") << QStringList{u"--server"_qs, u"h:+400"_qs} << u"malformed"_qs;
        QTest::newRow("empty port") << QStringList{u"--server"_qs, u"h:"_qs} << u"malformed"_qs;
        QTest::newRow("empty host") << QStringList{u"--server"_qs, u":400"_qs} << u"malformed"_qs;
        QTest::newRow("bad ipv4") << QStringList{u"--server"_qs, u"300.1.1.1"_qs} << u"malformed"_qs;
        QTest::newRow("blank in host") << QStringList{u"--server"_qs, u"my host"_qs} << u"malformed"_qs;
        QTest::newRow("empty label") << QStringList{u"--server"_qs, u"a..b"_qs} << u"malformed"_qs;
        QTest::newRow("hyphen edge") << QStringList{u"--server"_qs, u"-a.b"_qs} << u"malformed"_qs;
        QTest::newRow("unclosed bracket") << QStringList{u"--server"_qs, u"[::1:400"_qs} << u"malformed"_qs;
        QTest::newRow("ipv4 in brackets")
            << QStringList{u"--server"_qs, u"[1.2.3.4]:400"_qs} << u"malformed"_qs;
        QTest::newRow("junk after bracket")
            << QStringList{u"--server"_qs, u"[::1]x400"_qs} << u"malformed"_qs;
        QTest::newRow("bare ipv6 with port")
            << QStringList{u"--server"_qs, u"::1:400:x"_qs} << u"malformed"_qs;
        QTest::newRow("unknown beats help") << QStringList{u"--help"_qs, u"--bogus"_qs} << u"\"--bogus\""_qs;
    }

    void refused()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, mentions);
        const StartOptions options = CommandLine::parse(arguments);
        QCOMPARE(options.action, Action::Fail);
        QVERIFY2(options.error.contains(mentions), qPrintable(options.error));
        QVERIFY(options.host.isEmpty());
    }

    void helpAndVersion_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Action>("action");

        QTest::newRow("--help") << QStringList{u"--help"_qs} << Action::Help;
        QTest::newRow("-h") << QStringList{u"-h"_qs} << Action::Help;
        QTest::newRow("--version") << QStringList{u"--version"_qs} << Action::Version;
        QTest::newRow("help wins over version") << QStringList{u"--version"_qs, u"--help"_qs} << Action::Help;
        QTest::newRow("help with a server")
            << QStringList{u"--server"_qs, u"h:1"_qs, u"--help"_qs} << Action::Help;
    }

    void helpAndVersion()
    {
        QFETCH(QStringList, arguments);
        QTEST(CommandLine::parse(arguments).action, "action");
    }

    void textsNameTheProgram()
    {
        QCOMPARE(CommandLine::versionText(), u"quorvel 1.0.0"_qs);
        const QString help = CommandLine::helpText();
        QVERIFY(help.startsWith(u"Usage: quorvel [--server HOST[:PORT]]"_qs));
        for (const QString& option : {u"--server"_qs, u"--help"_qs, u"--version"_qs, u"[::1]:400"_qs})
            QVERIFY2(help.contains(option), qPrintable(option));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "TestCommandLine.moc"
