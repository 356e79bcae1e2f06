#include "shell/Application.h"
#include "shell/SingleInstance.h"

#include "shell/fFeat.h"
#include "support/ScriptedDialogs.h"
#include "support/TempSettings.h"

#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

// One program per user, with real processes: the real quorvel started while
// another instance runs, and after one crashed. Both share a runtime folder
// of their own, and every connection they open comes to m_server.
class TestSingleInstance : public QObject
{
    Q_OBJECT

    QTemporaryDir m_runtime;
    QTcpServer m_server;
    int m_connections = 0;

    // The real program, pointed at m_server.
    void startQuorvel(QProcess& quorvel)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        environment.insert(u"XDG_RUNTIME_DIR"_s, m_runtime.path());
        environment.insert(u"XDG_CONFIG_HOME"_s, m_runtime.filePath(u"config"_s));
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
        QVERIFY(m_runtime.isValid());
        QVERIFY(m_server.listen(QHostAddress::LocalHost, 0));
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (m_server.nextPendingConnection())
                ++m_connections;
        });
    }

    void secondStartBringsTheMainWindowForward()
    {
        TempSettings settings;
        ScriptedDialogs dialogs;
        SingleInstance first(m_runtime.filePath(u"quorvel.socket"_s));
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
};

QTEST_MAIN(TestSingleInstance)
#include "TestSingleInstance.moc"
