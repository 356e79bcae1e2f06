#include "shell/Application.h"
#include "shell/SingleInstance.h"

#include "common/Payload.h"
#include "protocol/ProtocolWords.h"
#include "shell/fFeat.h"
#include "support/ScriptedDialogs.h"
#include "support/TempSettings.h"
#include "support/WirePeer.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

// The real program as processes: on the terminal, against the real demo
// server, and one per user. Every instance shares a home and runtime folder
// of its own, and every connection it opens comes to m_server unless told
// otherwise. Processes are killed when their QProcess goes.
class TestProgram : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    QTcpServer m_server;
    int m_connections = 0;

    // The real program, offscreen, with the given arguments (by default pointed at m_server).
    void startQuorvel(QProcess& quorvel, QStringList arguments = {})
    {
        if (arguments.isEmpty())
            arguments = {u"--server"_s, u"127.0.0.1:%1"_s.arg(m_server.serverPort())};
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        environment.insert(u"HOME"_s, m_home.path());
        environment.insert(u"XDG_RUNTIME_DIR"_s, m_home.path());
        environment.insert(u"XDG_CONFIG_HOME"_s, m_home.filePath(u"config"_s));
        quorvel.setProcessEnvironment(environment);
        quorvel.start(QStringLiteral(QUORVEL_BINARY), arguments);
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

    // Answered before the toolkit starts, so without a display too.
    void answersOnTheTerminalWithoutADisplay_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("output"); // the start of what it writes
        QTest::newRow("unknown") << u"--bogus"_s << 2 << u"quorvel: unknown argument \"--bogus\""_s;
        QTest::newRow("bad port") << u"--server=1.2.3.4:99999"_s << 2 << u"quorvel: malformed server"_s;
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

    void secondStartBringsTheMainWindowForward()
    {
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
        QCOMPARE(m_connections, 0);
    }

    void aCrashedInstanceDoesNotBlockTheNext()
    {
        QProcess crashed;
        startQuorvel(crashed);
        QTRY_COMPARE_WITH_TIMEOUT(m_connections, 1, 20000);
        crashed.kill(); // SIGKILL: the socket and the lock stay behind
        QVERIFY(crashed.waitForFinished());

        QProcess next;
        startQuorvel(next);
        QTRY_COMPARE_WITH_TIMEOUT(m_connections, 2, 20000);
        startSecondAndSeeItLeave();
        QCOMPARE(m_connections, 2); // and no second connection
        QCOMPARE(next.state(), QProcess::Running);
        next.kill();
        next.waitForFinished();
    }

    // brastel-demo on a free port, and the program pointed at a recording
    // proxy in front of it: the conversation checked from the server's side.
    void asksTheDemoServerForTheCatalogueThenNormsAndDishes()
    {
        if (QStringLiteral(BRASTEL_DEMO_BINARY).isEmpty())
            QSKIP("built without the demo server");
        QProcess server;
        server.start(QStringLiteral(BRASTEL_DEMO_BINARY), {u"--port"_s, u"0"_s});
        QVERIFY2(server.waitForStarted(), qPrintable(server.errorString()));
        QTRY_VERIFY_WITH_TIMEOUT(server.canReadLine() || server.state() == QProcess::NotRunning, 30000);
        const QString first = QString::fromUtf8(server.readLine()).trimmed();
        const auto where = QRegularExpression(u"^Listening on 127\\.0\\.0\\.1:(\\d+)$"_s).match(first);
        QVERIFY2(where.hasMatch(), qPrintable(first + QString::fromUtf8(server.readAllStandardError())));
        WirePeer proxy(quint16(where.captured(1).toUInt()));
        QProcess client;
        startQuorvel(client, {u"--server"_s, u"127.0.0.1:%1"_s.arg(proxy.port())});

        QTRY_VERIFY_WITH_TIMEOUT(proxy.requests().size() >= 3 || client.state() == QProcess::NotRunning,
                                 30000);
        const QStringList requests = proxy.requests();
        QVERIFY2(requests.size() >= 3,
                 qPrintable(requests.join(u" | ") + QString::fromUtf8(client.readAll())));
        QCOMPARE(proxy.connectionCount(), 1);
        // The catalogue came back, and its first collection is the one asked for.
        const QString catalogue = proxy.replies().value(0);
        QVERIFY2(catalogue.startsWith(Proto::BB), qPrintable(catalogue.left(80)));
        const QString firstRow = elementAt(splitPayload(catalogue.mid(Proto::BB.size()), Proto::EB), 0);
        const QString firstCollection = elementAt(splitPayload(firstRow, Proto::TB), 0);
        QVERIFY(!firstCollection.isEmpty());
        QCOMPARE(requests.mid(0, 3), (QStringList{Proto::GetDishTables, Proto::Get_Man_Norm,
                                                  Proto::GetDishes + firstCollection}));
        QCOMPARE(client.state(), QProcess::Running);
    }
};

QTEST_MAIN(TestProgram)
#include "TestProgram.moc"
