#include "server/WireClient.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTest>

using namespace Qt::StringLiterals;

class TestBrastelDemo : public QObject
{
    Q_OBJECT

private slots:
    // The database beside the program is served on the port the first line
    // gives; then each client event is a line of the log, after a time stamp.
    void servesAndLogs()
    {
        // Started as a newcomer's script starts it.
        QProcess demo;
        demo.setProcessChannelMode(QProcess::MergedChannels);
        demo.start(QStringLiteral(BRASTEL_DEMO_EXE), {u"--port"_s, u"0"_s, u"--no-norms"_s});
        QStringList lines;
        const auto readLines = [&](qsizetype count) {
            while (lines.size() < count &&
                   (demo.canReadLine() || demo.waitForReadyRead(WireClient::kWaitMs))) {
                if (demo.canReadLine())
                    lines << QString::fromUtf8(demo.readLine()).trimmed();
            }
            return lines;
        };
        static const QRegularExpression listening(u"^Listening on 127\\.0\\.0\\.1:(\\d+)$"_s);
        WireClient client;
        QVERIFY(client.connectTo(listening.match(readLines(1).value(0)).captured(1).toUShort()));
        QCOMPARE(client.ask(u"$Get_Man_Norm"_s), QByteArray("$No_Fiz_NormDB<\xA5>"));
        client.send("$mess=\xCF\xF0\xE8\xE2\xE5\xF2\r\n\tline two<\xA5>$GetDishes=Bread<\xA5>");
        QCOMPARE(client.next(), QByteArray("$Dishes=$NO_DISHES<\xA5>")); // the message had no reply
        const QString peer = u"127.0.0.1:%1"_s.arg(client.socket.localPort());
        client.socket.disconnectFromHost();
        static const QRegularExpression stamp(u"^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d "_s);
        QCOMPARE(readLines(5).mid(1).replaceInStrings(stamp, QString()),
                 (QStringList{u"Serving without norms"_s, u"Connected "_s + peer,
                              u"Message from "_s + peer + u": Привет\\r\\n\\tline two"_s,
                              u"Disconnected "_s + peer}));
        demo.kill();
        demo.waitForFinished();
    }

    void exitsWithAMessage_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message"); // BUSY: a port another program holds
        QTest::newRow("busy port") << QStringList{u"--port"_s, u"BUSY"_s} << 1
                                   << u"brastel-demo: cannot listen on 127.0.0.1:BUSY: "_s;
        // Not 400, the default: a client test may rely on nothing listening there.
        QTest::newRow("privileged port") << QStringList{u"--port=1023"_s} << 1
                                         << u"need privileges on Linux; --port 0 picks a free port"_s;
        QTest::newRow("missing database")
            << QStringList{u"--port=0"_s, u"--db=/nonexistent/demo.sqlite"_s} << 1
            << u"cannot open the database: /nonexistent/demo.sqlite: no such"_s;
        QTest::newRow("unknown option") << QStringList{u"--colour"_s} << 2 << u"Try --help."_s;
        QTest::newRow("more clients than descriptors")
            << QStringList{u"--port=0"_s, u"--max-clients=2000000000"_s} << 2
            << u"brastel-demo: --max-clients 2000000000 needs more open files than the limit of "_s;
        QTest::newRow("help") << QStringList{u"--help"_s} << 0 << u"--max-clients <N>"_s;
        QTest::newRow("version") << QStringList{u"--version"_s} << 0 << u"brastel-demo 1.0.0\n"_s;
    }
    void exitsWithAMessage()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QTcpServer busy;
        QVERIFY(busy.listen(QHostAddress(QHostAddress::LocalHost), 0));
        // Held here when the tests run as root; refused by the system otherwise.
        QTcpServer privileged;
        privileged.listen(QHostAddress(QHostAddress::LocalHost), 1023);
        const QString port = QString::number(busy.serverPort());
        QProcess demo;
        demo.setProcessChannelMode(QProcess::MergedChannels);
        demo.start(QStringLiteral(BRASTEL_DEMO_EXE), args.replaceInStrings(u"BUSY"_s, port));
        QVERIFY(demo.waitForFinished(WireClient::kWaitMs));
        QCOMPARE(demo.exitStatus(), QProcess::NormalExit);
        QCOMPARE(demo.exitCode(), exitCode);
        const QString output = QString::fromUtf8(demo.readAll());
        QVERIFY2(output.contains(message.replace(u"BUSY"_s, port)) && !output.contains(u"Listening"_s),
                 qPrintable(output));
    }
};

QTEST_GUILESS_MAIN(TestBrastelDemo)
#include "TestBrastelDemo.moc"
