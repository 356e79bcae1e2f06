#include "shell/Application.h"
#include "shell/CommandLine.h"
#include "shell/SingleInstance.h"

#include "protocol/ServerSession.h"
#include "shell/fFeat.h"
#include "support/ScriptedDialogs.h"
#include "support/TempSettings.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace Qt::Literals::StringLiterals;

using Action = StartOptions::Action;

// The program's start: its command line read, then the real program as processes, on the terminal and
// one per user; all share a home of their own, and connect to m_server.
class TestProgram : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    QTcpServer m_server;
    int m_connections = 0;

    // The real program, offscreen, pointed at m_server, its runtime folder `runtime`.
    void startQuorvel(QProcess& quorvel, const QString& runtime = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        environment.insert(u"HOME"_s, m_home.path());
        environment.insert(u"XDG_RUNTIME_DIR"_s, runtime.isEmpty() ? m_home.path() : runtime);
        environment.insert(u"XDG_CONFIG_HOME"_s, m_home.filePath(u"config"_s));
        quorvel.setProcessEnvironment(environment);
        quorvel.start(QStringLiteral(QUORVEL_BINARY),
                      {u"--server"_s, u"127.0.0.1:%1"_s.arg(m_server.serverPort())});
        QVERIFY2(quorvel.waitForStarted(), qPrintable(quorvel.errorString()));
    }

    void startSecondAndSeeItLeave()
    {
        QProcess second;
        startQuorvel(second);
        // Waited for with the event loop running: the first may be this process.
        QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 20000);
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(second.readAllStandardOutput().contains("already running"));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        QVERIFY(m_server.listen(QHostAddress::LocalHost, 0));
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (m_server.nextPendingConnection())
                ++m_connections;
        });
    }

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

    // Answered before the toolkit starts, so without a display too.
    void answersOnTheTerminalWithoutADisplay_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("output"); // the start of what it writes
        QTest::newRow("unknown") << u"--bogus"_s << 2 << u"quorvel: unknown argument \"--bogus\""_s;
        QTest::newRow("help") << u"--help"_s << 0 << u"Usage: quorvel [--server HOST[:PORT]]"_s;
        QTest::newRow("version") << u"--version"_s << 0 << u"quorvel 1.0.0"_s;
    }

    void answersOnTheTerminalWithoutADisplay()
    {
        QFETCH(QString, argument);
        QFETCH(QString, output);
        QProcess client;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const QString& name : {u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s, u"QT_QPA_PLATFORM"_s})
            environment.remove(name);
        client.setProcessEnvironment(environment);
        client.start(QStringLiteral(QUORVEL_BINARY), {argument});
        QVERIFY(client.waitForFinished(20000));
        QCOMPARE(client.exitStatus(), QProcess::NormalExit);
        QTEST(client.exitCode(), "status");
        const QString written =
            QString::fromLocal8Bit(client.readAllStandardOutput() + client.readAllStandardError());
        QVERIFY2(written.startsWith(output), qPrintable(written));
    }

    // A second start leaves, bringing the running one's window forward; one
    // killed outright does not block the next.
    void oneInstancePerUser()
    {
        QProcess crashed;
        startQuorvel(crashed);
        QTRY_COMPARE_WITH_TIMEOUT(m_connections, 1, 20000);
        startSecondAndSeeItLeave();
        crashed.kill(); // SIGKILL: the socket and the lock stay behind
        QVERIFY(crashed.waitForFinished());

        TempSettings settings;
        ScriptedDialogs dialogs;
        SingleInstance first(m_home.filePath(u"quorvel.socket"_s));
        QCOMPARE(first.start(), SingleInstance::Role::First);
        fFeat window;
        joinSingleInstance(first, window);
        window.showMinimized();
        window.hide();
        startSecondAndSeeItLeave();
        QTRY_VERIFY(window.isVisible() && !window.isMinimized() && window.isActiveWindow());
        QCOMPARE(m_connections, 1); // and no second connection
    }

    // SIGTERM (a logout, a service stop) and SIGINT end it at once, status 0, without the question.
    void endsOnStopSignalsWithoutAsking()
    {
        for (const int signalNumber : {SIGTERM, SIGINT}) {
            const int before = m_connections;
            QProcess quorvel;
            startQuorvel(quorvel);
            QTRY_COMPARE_WITH_TIMEOUT(m_connections, before + 1, 20000); // loaded and running
            ::kill(pid_t(quorvel.processId()), signalNumber);
            QTRY_COMPARE_WITH_TIMEOUT(quorvel.state(), QProcess::NotRunning, 20000);
            QVERIFY(quorvel.exitStatus() == QProcess::NormalExit && quorvel.exitCode() == 0);
        }
    }

    // The socket cannot be made (a folder stands in its place): the program runs unguarded, and its log
    // says so once.
    void runsWithoutAGuardItCannotHave()
    {
        const QString runtime = m_home.filePath(u"runtime"_s);
        QVERIFY(QDir().mkpath(runtime + u"/quorvel.socket/taken"_s));
        QFile(runtime).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const int connections = m_connections;
        QProcess unguarded;
        startQuorvel(unguarded, runtime);
        QTRY_COMPARE_WITH_TIMEOUT(m_connections, connections + 1, 20000);
        unguarded.terminate();
        QVERIFY(unguarded.waitForFinished());

        TempSettings settings;
        ScriptedDialogs dialogs;
        SingleInstance instance(runtime + u"/quorvel.socket"_s);
        QCOMPARE(instance.start(), SingleInstance::Role::Unguarded);
        fFeat window;
        joinSingleInstance(instance, window);
        QCOMPARE(window.session().statusLog().text().count(u"без защиты от второго запуска"_s), 1);
    }
};

QTEST_MAIN(TestProgram)
#include "TestProgram.moc"
