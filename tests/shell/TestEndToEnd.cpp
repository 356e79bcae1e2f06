#include "common/Payload.h"
#include "protocol/ProtocolWords.h"
#include "support/WirePeer.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

// The real program against the real demo server: brastel-demo on a free
// port, quorvel started offscreen with --server pointing at a recording
// proxy in front of it, and the conversation checked from the server's side.
// Both processes are killed when their QProcess goes.
class TestEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    // Answered before the toolkit starts, so without a display too.
    void answersOnTheTerminalWithoutADisplay_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("output"); // the start of what it writes
        QTest::newRow("unknown") << u"--bogus"_s << 2 << u"quorvel: unknown argument \"--bogus\""_s;
        QTest::newRow("bad port") << u"--server=1.2.3.4:99999"_s << 2 << u"quorvel: malformed server"_s;
        QTest::newRow("help") << u"--help"_s << 0 << u"Usage: quorvel"_s;
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

    void clientAsksForTheCatalogueThenNormsAndDishes()
    {
        QProcess server;
        server.start(QStringLiteral(BRASTEL_DEMO_BINARY), {u"--port"_s, u"0"_s});
        QVERIFY2(server.waitForStarted(), qPrintable(server.errorString()));
        QTRY_VERIFY_WITH_TIMEOUT(server.canReadLine() || server.state() == QProcess::NotRunning, 30000);
        const QString first = QString::fromUtf8(server.readLine()).trimmed();
        const auto where = QRegularExpression(u"^Listening on 127\\.0\\.0\\.1:(\\d+)$"_s).match(first);
        QVERIFY2(where.hasMatch(), qPrintable(first + QString::fromUtf8(server.readAllStandardError())));
        WirePeer proxy(quint16(where.captured(1).toUInt()));

        QTemporaryDir home; // the program's settings go here, never to the user's
        QVERIFY(home.isValid());
        QProcess client;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        environment.insert(u"HOME"_s, home.path());
        environment.insert(u"XDG_CONFIG_HOME"_s, home.filePath(u"config"_s));
        // Its own runtime folder: a Quorvel the user runs must not answer in its place.
        environment.insert(u"XDG_RUNTIME_DIR"_s, home.path());
        client.setProcessEnvironment(environment);
        client.start(QStringLiteral(QUORVEL_BINARY), {u"--server"_s, u"127.0.0.1:%1"_s.arg(proxy.port())});
        QVERIFY2(client.waitForStarted(), qPrintable(client.errorString()));

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

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "TestEndToEnd.moc"
