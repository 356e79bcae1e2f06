#include "Payload.h"
#include "ProtocolWords.h"
#include "WirePeer.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// The real program against the real demo server: brastel-demo on a free
// port, quorvel started offscreen with --server pointing at a recording
// proxy in front of it, and the conversation checked from the server's side.
class TestEndToEnd : public QObject
{
    Q_OBJECT

private:
    // Ends a process this test started: asked first, forced if it will not go.
    static void stop(QProcess& process)
    {
        if (process.state() == QProcess::NotRunning)
            return;
        process.terminate();
        if (!process.waitForFinished(5000)) {
            process.kill();
            process.waitForFinished(5000);
        }
    }

private slots:
    void clientAsksForTheCatalogueThenNormsAndDishes()
    {
        QTemporaryDir home;
        QVERIFY(home.isValid());

        QProcess server;
        server.setProgram(QStringLiteral(BRASTEL_DEMO_BINARY));
        server.setArguments({u"--port"_qs, u"0"_qs});
        server.start();
        QVERIFY2(server.waitForStarted(), qPrintable(server.errorString()));
        auto stopServer = qScopeGuard([&] { stop(server); });
        // Its first line says where it listens: "Listening on 127.0.0.1:PORT".
        QTRY_VERIFY_WITH_TIMEOUT(server.canReadLine() || server.state() == QProcess::NotRunning, 30000);
        const QString first = QString::fromUtf8(server.readLine()).trimmed();
        const QRegularExpressionMatch where =
            QRegularExpression(u"^Listening on 127\\.0\\.0\\.1:(\\d+)$"_qs).match(first);
        QVERIFY2(where.hasMatch(), qPrintable(first + QString::fromUtf8(server.readAllStandardError())));
        const auto serverPort = quint16(where.captured(1).toUInt());

        WirePeer proxy(serverPort);
        QVERIFY(proxy.isListening());

        QProcess client;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
        // The program's settings go to a scratch home, never the user's.
        environment.insert(u"HOME"_qs, home.path());
        environment.insert(u"XDG_CONFIG_HOME"_qs, home.filePath(u"config"_qs));
        client.setProcessEnvironment(environment);
        client.setProgram(QStringLiteral(QUORVEL_BINARY));
        client.setArguments({u"--server"_qs, u"127.0.0.1:"_qs + QString::number(proxy.port())});
        client.start();
        QVERIFY2(client.waitForStarted(), qPrintable(client.errorString()));
        auto stopClient = qScopeGuard([&] { stop(client); });

        QTRY_VERIFY_WITH_TIMEOUT(proxy.requests().size() >= 3 || client.state() == QProcess::NotRunning,
                                 30000);
        QCOMPARE(proxy.connectionCount(), 1);
        const QStringList requests = proxy.requests();
        QVERIFY2(requests.size() >= 3,
                 qPrintable(requests.join(u" | ") + QString::fromUtf8(client.readAll())));

        // The catalogue came back, and its first collection is the one asked for.
        QVERIFY(!proxy.replies().isEmpty());
        const QString catalogue = proxy.replies().first();
        QVERIFY2(catalogue.startsWith(Proto::BB), qPrintable(catalogue.left(80)));
        const QString firstCollection = elementAt(
            splitPayload(elementAt(splitPayload(catalogue.mid(Proto::BB.size()), Proto::EB), 0), Proto::TB),
            0);
        QVERIFY(!firstCollection.isEmpty());

        QCOMPARE(requests.at(0), Proto::GetDishTables);
        QCOMPARE(requests.at(1), Proto::Get_Man_Norm);
        QCOMPARE(requests.at(2), Proto::GetDishes + firstCollection);
        QCOMPARE(client.state(), QProcess::Running);
    }
};

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "TestEndToEnd.moc"
