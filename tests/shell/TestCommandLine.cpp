#include "CommandLine.h"

#include <QTest>

using Action = StartOptions::Action;

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("arguments"); // blank-separated
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("result"); // host|port, or a part of the error

        QTest::newRow("nothing") << QString() << Action::Run << u"|"_qs;
        QTest::newRow("ipv4 and port")
            << u"--server 127.0.0.1:4000"_qs << Action::Run << u"127.0.0.1|4000"_qs;
        QTest::newRow("host alone") << u"--server recipes.lan"_qs << Action::Run << u"recipes.lan|"_qs;
        QTest::newRow("equals form") << u"--server=localhost:65535"_qs << Action::Run
                                     << u"localhost|65535"_qs;
        QTest::newRow("ipv6 in brackets") << u"--server [::1]:400"_qs << Action::Run << u"::1|400"_qs;
        QTest::newRow("bare ipv6") << u"--server ::1"_qs << Action::Run << u"::1|"_qs;
        QTest::newRow("cyrillic name") << u"--server сервер.рф:1"_qs << Action::Run << u"сервер.рф|1"_qs;

        // The toolkit's own options are left to it, values and all.
        QTest::newRow("toolkit options")
            << u"-platform xcb --server h:1 -style=Fusion --reverse"_qs << Action::Run << u"h|1"_qs;
        QTest::newRow("help") << u"-h"_qs << Action::Help << QString();
        QTest::newRow("help wins") << u"--server h:1 --version --help"_qs << Action::Help << QString();
        QTest::newRow("version") << u"--version"_qs << Action::Version << QString();

        QTest::newRow("unknown") << u"--serve h"_qs << Action::Fail << u"unknown argument \"--serve\""_qs;
        QTest::newRow("positional") << u"127.0.0.1"_qs << Action::Fail
                                    << u"unknown argument \"127.0.0.1\""_qs;
        QTest::newRow("unknown beats help") << u"--help --bogus"_qs << Action::Fail << u"\"--bogus\""_qs;
        QTest::newRow("toolkit option without value")
            << u"-platform"_qs << Action::Fail << u"needs a value"_qs;
        QTest::newRow("toolkit flag with value")
            << u"-reverse=1"_qs << Action::Fail << u"unknown argument"_qs;
        QTest::newRow("missing value") << u"--server"_qs << Action::Fail << u"needs a value"_qs;
        QTest::newRow("twice") << u"--server a --server b"_qs << Action::Fail << u"only once"_qs;
        QTest::newRow("empty value") << u"--server="_qs << Action::Fail << u"malformed server \"\""_qs;
        for (const QString& server : {u"h:0"_qs, u"h:65536"_qs, u"h:4o0"_qs, u"h:+400"_qs, u"h:"_qs,
                                      u":400"_qs, u"300.1.1.1"_qs, u"a_b"_qs, u"a..b"_qs, u"-a.b"_qs,
                                      u"[::1:400"_qs, u"[1.2.3.4]"_qs, u"[::1]x400"_qs, u"::1:400:x"_qs})
            QTest::addRow("malformed %s", qPrintable(server))
                << u"--server "_qs + server << Action::Fail << u"malformed server \"%1\""_qs.arg(server);
    }

    void parse()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, result);
        const StartOptions options = CommandLine::parse(arguments.split(u' ', Qt::SkipEmptyParts));
        QTEST(options.action, "action");
        if (options.action == Action::Fail)
            QVERIFY2(options.error.contains(result) && options.host.isEmpty(), qPrintable(options.error));
        else if (options.action == Action::Run)
            QCOMPARE(options.host + u'|' + options.port, result);
    }

    void texts()
    {
        QCOMPARE(CommandLine::versionText(), u"quorvel 1.0.0"_qs);
        QVERIFY(CommandLine::helpText().startsWith(u"Usage: quorvel [--server HOST[:PORT]]"_qs));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "TestCommandLine.moc"
