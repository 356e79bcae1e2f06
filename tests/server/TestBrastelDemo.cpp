#include "WireClient.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTest>

#include <memory>

namespace {

const QString kExe = QStringLiteral(BRASTEL_DEMO_EXE);
const QString kDb = QStringLiteral(BRASTEL_DEMO_DB);

// The real program, started as a newcomer's script starts it.
class DemoProcess
{
public:
    explicit DemoProcess(const QStringList& args)
    {
        m_process.setProgram(kExe);
        m_process.setArguments(args);
        m_process.start();
    }
    ~DemoProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(WireClient::kWaitMs);
        }
    }

    // The first line of standard output, read as a script reads it.
    QString firstLine()
    {
        (void)QTest::qWaitFor(
            [this] { return m_process.canReadLine() || m_process.state() == QProcess::NotRunning; },
            WireClient::kWaitMs);
        return QString::fromUtf8(m_process.readLine()).trimmed();
    }
    // The port from "Listening on 127.0.0.1:PORT", or 0.
    quint16 listeningPort()
    {
        static const QRegularExpression line(u"^Listening on 127\\.0\\.0\\.1:(\\d+)$"_qs);
        const QRegularExpressionMatch match = line.match(firstLine());
        return match.hasMatch() ? quint16(match.captured(1).toUInt()) : 0;
    }
    bool finished()
    {
        return QTest::qWaitFor([this] { return m_process.state() == QProcess::NotRunning; },
                               WireClient::kWaitMs);
    }
    QProcess& process() { return m_process; }

private:
    QProcess m_process;
};

} // namespace

class TestBrastelDemo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(QFileInfo(kExe).isExecutable(), qPrintable(kExe));
        QVERIFY2(QFileInfo(kDb).isFile(), qPrintable(kDb));
    }

    // Default database beside the program; port 0 picks a free port and the
    // first line tells which.
    void announcesItsPortAndServes()
    {
        DemoProcess demo({u"--port"_qs, u"0"_qs});
        const quint16 port = demo.listeningPort();
        QVERIFY(port != 0);
        WireClient client;
        QVERIFY(client.connectTo(port));
        QVERIFY(client.ask(u"$GetDishTables"_qs)->startsWith(u"$BB=Комплексные блюда<TB>10<TB>"_qs));
        const std::optional<QString> norms = client.ask(u"$Get_Man_Norm"_qs);
        QVERIFY(norms);
        QVERIFY(norms->startsWith(u"$Man_Norm=1<Sc>I<Sc>1,4<Sc>18-29<Sc>2450<Str>"_qs));
        QCOMPARE(client.ask(u"$GetHSDishes=Комплексные блюда<Str>Рис с куриной грудкой"_qs).value(),
                 u"$HSDishes=22,815<Sc>5,28<Sc>1,035<Sc>113,55<Str>Рис с куриной грудкой<Sc>150/50"_qs);
    }

    void logsMessagesWithTheSender()
    {
        DemoProcess demo({u"--port=0"_qs, u"--db"_qs, kDb});
        const quint16 port = demo.listeningPort();
        QVERIFY(port != 0);
        WireClient client;
        QVERIFY(client.connectTo(port));
        client.request(u"$Mess=Сервер, привет"_qs);
        const QString expected =
            u" Message from 127.0.0.1:%1: Сервер, привет"_qs.arg(client.socket().localPort());
        // "Connected PEER" comes first; the message follows.
        QStringList lines;
        QVERIFY(QTest::qWaitFor(
            [&] {
                while (demo.process().canReadLine())
                    lines << QString::fromUtf8(demo.process().readLine()).trimmed();
                return lines.size() >= 2;
            },
            WireClient::kWaitMs));
        QVERIFY2(lines[0].endsWith(u" Connected 127.0.0.1:%1"_qs.arg(client.socket().localPort())),
                 qPrintable(lines[0]));
        const QString line = lines[1];
        QVERIFY2(line.endsWith(expected), qPrintable(line));
    }

    void servesWithoutNorms()
    {
        DemoProcess demo({u"--port=0"_qs, u"--no-norms"_qs});
        const quint16 port = demo.listeningPort();
        QVERIFY(port != 0);
        WireClient client;
        QVERIFY(client.connectTo(port));
        QCOMPARE(client.ask(u"$Get_Man_Norm"_qs).value(), u"$No_Fiz_NormDB"_qs);
        QCOMPARE(client.ask(u"$Get_Girl_Norm"_qs).value(), u"$No_Fiz_NormDB"_qs);
        QVERIFY(client.ask(u"$GetDishes=Фрукты"_qs)->startsWith(u"$Dishes=Apple, big<BL>"_qs));
    }

    void busyPortFailsWithAMessage()
    {
        QTcpServer occupant;
        QVERIFY(occupant.listen(QHostAddress(QHostAddress::LocalHost), 0));
        const QString port = QString::number(occupant.serverPort());
        DemoProcess demo({u"--port"_qs, port});
        QVERIFY(demo.finished());
        QCOMPARE(demo.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(demo.process().exitCode(), 1);
        QCOMPARE(demo.process().readAllStandardOutput(), QByteArray());
        const QString err = QString::fromUtf8(demo.process().readAllStandardError());
        QVERIFY2(err.startsWith(u"brastel-demo: cannot listen on 127.0.0.1:%1: "_qs.arg(port)),
                 qPrintable(err));
    }

    // Ports below 1024 are privileged on Linux: whether this runs as root
    // (and the test holds the port) or not, the server cannot have it, and
    // says how to get around that. Not 400, the default: a client test may
    // rely on nothing listening there.
    void privilegedPortGetsAHint()
    {
        QTcpServer occupant;
        occupant.listen(QHostAddress(QHostAddress::LocalHost), 1023);
        DemoProcess demo({u"--port=1023"_qs});
        QVERIFY(demo.finished());
        QCOMPARE(demo.process().exitCode(), 1);
        const QString err = QString::fromUtf8(demo.process().readAllStandardError());
        QVERIFY2(err.contains(u"cannot listen on 127.0.0.1:1023"_qs), qPrintable(err));
        QVERIFY2(err.contains(u"--port 0 picks a free port"_qs), qPrintable(err));
    }

    void failsClearly_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing database")
            << QStringList{u"--port=0"_qs, u"--db=/nonexistent/demo.sqlite"_qs} << 1
            << u"cannot open the database: /nonexistent/demo.sqlite: no such"_qs;
        QTest::newRow("bad port") << QStringList{u"--port=99999"_qs} << 2 << u"--port wants a number"_qs;
        QTest::newRow("unknown option") << QStringList{u"--colour"_qs} << 2 << u"Try --help."_qs;
    }
    void failsClearly()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        DemoProcess demo(args);
        QVERIFY(demo.finished());
        QCOMPARE(demo.process().exitCode(), exitCode);
        const QString err = QString::fromUtf8(demo.process().readAllStandardError());
        QVERIFY2(err.contains(message), qPrintable(err));
    }

    void helpListsTheOptions()
    {
        DemoProcess demo({u"--help"_qs});
        QVERIFY(demo.finished());
        QCOMPARE(demo.process().exitCode(), 0);
        const QString help = QString::fromUtf8(demo.process().readAllStandardOutput());
        for (const QString& option : {u"--listen <ADDR>"_qs, u"--port <N>"_qs, u"--db <PATH>"_qs,
                                      u"--no-norms"_qs, u"--max-clients <N>"_qs})
            QVERIFY2(help.contains(option), qPrintable(option));
    }
};

QTEST_GUILESS_MAIN(TestBrastelDemo)
#include "TestBrastelDemo.moc"
