#include "shell/CommandLine.h"

#include <QTest>

using namespace Qt::StringLiterals;

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

        QTest::newRow("nothing") << QString() << Action::Run << u"|"_s;
        QTest::newRow("ipv4 and port") << u"--server 127.0.0.1:4000"_s << Action::Run << u"127.0.0.1|4000"_s;
        QTest::newRow("host alone") << u"--server recipes.lan"_s << Action::Run << u"recipes.lan|"_s;
        QTest::newRow("equals form") << u"--server=localhost:65535"_s << Action::Run << u"localhost|65535"_s;
        QTest::newRow("ipv6 in brackets") << u"--server [::1]:400"_s << Action::Run << u"::1|400"_s;
        QTest::newRow("bare ipv6") << u"--server ::1"_s << Action::Run << u"::1|"_s;
        QTest::newRow("cyrillic name") << u"--server сервер.рф:1"_s << Action::Run << u"сервер.рф|1"_s;

        // The toolkit's own options are left to it, values and all.
        QTest::newRow("toolkit options")
            << u"-platform xcb --server h:1 -style=Fusion --reverse"_s << Action::Run << u"h|1"_s;
        QTest::newRow("help wins") << u"--server h:1 --version -h"_s << Action::Help << QString();
        QTest::newRow("version") << u"--version"_s << Action::Version << QString();

        QTest::newRow("unknown") << u"--serve h"_s << Action::Fail << u"unknown argument \"--serve\""_s;
        QTest::newRow("positional") << u"127.0.0.1"_s << Action::Fail << u"unknown argument \"127.0.0.1\""_s;
        QTest::newRow("unknown beats help") << u"--help --bogus"_s << Action::Fail << u"\"--bogus\""_s;
        QTest::newRow("toolkit option without value") << u"-platform"_s << Action::Fail << u"needs a value"_s;
        QTest::newRow("toolkit flag with value") << u"-reverse=1"_s << Action::Fail << u"unknown argument"_s;
        QTest::newRow("missing value") << u"--server"_s << Action::Fail << u"needs a value"_s;
        QTest::newRow("twice") << u"--server a --server b"_s << Action::Fail << u"only once"_s;
        QTest::newRow("empty value") << u"--server="_s << Action::Fail << u"malformed server \"\""_s;
        for (const QString& server :
             {u"h:0"_s, u"h:65536"_s, u"h:4o0"_s, u"h:+400"_s, u"h:"_s, u":400"_s, u"300.1.1.1"_s, u"a_b"_s,
              u"a..b"_s, u"-a.b"_s, u"[::1:400"_s, u"[1.2.3.4]"_s, u"[::1]x400"_s, u"::1:400:x"_s})
            QTest::addRow("malformed %s", qPrintable(server))
                << u"--server "_s + server << Action::Fail << u"malformed server \"%1\""_s.arg(server);
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
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "TestCommandLine.moc"
