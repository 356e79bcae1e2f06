#include "server/DemoServer.h"

#include "protocol/Cp1251.h"
#include "server/DemoDatabase.h"
#include "server/DescriptorLimit.h"
#include "server/RequestHandler.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <memory>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QByteArray kTerm = QByteArrayLiteral("<\xA5>");

// A plain client of the wire. Waits run the event loop, so a server in this
// thread keeps working, and are bounded, so a fault fails instead of hanging.
struct WireClient
{
    static constexpr int kWaitMs = 10000;

    bool connectTo(quint16 port)
    {
        socket.connectToHost(QHostAddress(QHostAddress::LocalHost), port);
        (void)QTest::qWaitFor([this] { return socket.state() != QAbstractSocket::ConnectingState; }, kWaitMs);
        return socket.state() == QAbstractSocket::ConnectedState;
    }
    void send(const QByteArray& bytes)
    {
        socket.write(bytes);
        socket.flush();
    }
    // The next reply with its terminator; empty when the connection closes or none comes in time.
    QByteArray next()
    {
        (void)QTest::qWaitFor(
            [&] {
                buffer += socket.readAll();
                return buffer.contains(kTerm) || socket.state() == QAbstractSocket::UnconnectedState;
            },
            kWaitMs);
        const qsizetype end = buffer.indexOf(kTerm) + kTerm.size();
        return end < kTerm.size() ? QByteArray() : std::exchange(buffer, buffer.mid(end)).left(end);
    }
    QByteArray ask(const QString& request)
    {
        send(Cp1251::encode(request) + kTerm);
        return next();
    }

    QTcpSocket socket;
    QByteArray buffer;
};

// The built database served on a free port of 127.0.0.1, in this thread.
struct Running
{
    explicit Running(ServerLimits limits = {}) : handler(database, {}), server(handler, limits)
    {
        QObject::connect(&server, &DemoServer::logLine, &server,
                         [this](const QString& line) { log << line; });
        opened = database.open(QStringLiteral(BRASTEL_DEMO_DB)).isEmpty() &&
                 server.listen(QHostAddress(QHostAddress::LocalHost), 0);
    }

    DemoDatabase database;
    RequestHandler handler;
    DemoServer server;
    QStringList log;
    bool opened = false;
};

} // namespace

class TestDemoServer : public QObject
{
    Q_OBJECT

private slots:
    // Every kind of reply, byte for byte ("…": the middle of a long one). The second request of
    // the write proves that nothing else was sent in between.
    void repliesByteForByte_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QString>("reply");
        const QString err = u"$Err_inquiry"_s;
        QTest::newRow("catalogue")
            << u"$GetDishTables"_s
            << u"$BB=Комплексные блюда<TB>10<TB>IFCT 2017 components<EB>…<EB>Пищевые масла и жиры<TB>14<TB>"
               "IFCT 2017: Edible Oils and Fats"_s;
        QTest::newRow("dishes") << u"$GetDishes=Злаки и просо"_s
                                << u"$Dishes=Amaranth seed, black<BL>Amaranth seed, pale brown<BL>…<BL>"
                                   "Wheat, vermicelli, roasted"_s;
        // Rice A015 7.94/0.52/0.69/75.7 at 150 g and chicken N003 21.81/9/0/0 at 50 g.
        QTest::newRow("composite")
            << u"$GetHSDishes=Комплексные блюда<Str>Рис с куриной грудкой"_s
            << u"$HSDishes=22,815<Sc>5,28<Sc>1,035<Sc>113,55<Str>Рис с куриной грудкой<Sc>150/50"_s;
        // The first and last rows of each sex.
        QTest::newRow("men's norms")
            << u"$Get_Man_Norm"_s
            << u"$Man_Norm=1<Sc>I<Sc>1,4<Sc>18-29<Sc>2450<Str>…<Str>15<Sc>V<Sc>2,5<Sc>40-59<Sc>3750"_s;
        QTest::newRow("women's norms")
            << u"$Get_Girl_Norm"_s
            << u"$Girl_Norm=16<Sc>I<Sc>1,4<Sc>18-29<Sc>2000<Str>…<Str>27<Sc>IV<Sc>2,2<Sc>40-59<Sc>2850"_s;
        QTest::newRow("empty request") << QString() << err;
        QTest::newRow("unknown collection: other case") << u"$GetDishes=фрукты"_s << u"$Dishes=$NO_DISHES"_s;
        QTest::newRow("unknown dish") << u"$GetHSDishes=Фрукты<Str>Батон"_s << err;
        QTest::newRow("no row separator") << u"$GetHSDishes=Морская рыба Cat fish"_s << err;
        QTest::newRow("catalogue with a tail") << u"$GetDishTables "_s << err;
        QTest::newRow("norms in lower case") << u"$get_girl_norm"_s << u"$Girl_Norm=16<Sc>I<Sc>…"_s;
        // "Cat fish" is a marine fish too, with other values.
        QTest::newRow("same dish, other collection, word in capitals")
            << u"$GETHSDISHES=Пресноводная рыба и ракообразные<Str>Cat fish"_s
            << u"$HSDishes=15,86<Sc>6,24<Sc>0<Sc>0<Str>Cat fish<Sc>100"_s;
    }
    void repliesByteForByte()
    {
        QFETCH(QString, request);
        QFETCH(QString, reply);
        Running running;
        WireClient client;
        QVERIFY(running.opened && client.connectTo(running.server.serverPort()));
        client.send(Cp1251::encode(request) + kTerm + "$Hello" + kTerm);
        const QByteArray got = client.next();
        const QByteArray head = Cp1251::encode(reply.section(u'…', 0, 0));
        const QByteArray tail = Cp1251::encode(reply.section(u'…', -1)) + kTerm;
        QVERIFY2(reply.contains(u'…') ? got.startsWith(head) && got.endsWith(tail) : got == head + kTerm,
                 got.left(300).constData());
        QCOMPARE(client.next(), QByteArray("$Err_inquiry") + kTerm);
    }

    // A faulty client is dropped; a client beside it notices nothing. One row per bound.
    void dropsFaultyClientAlone_data()
    {
        QTest::addColumn<QByteArray>("chunk");
        QTest::addColumn<QString>("reason");
        QTest::newRow("NUL") << QByteArray("$GetDishTables\0<\xA5>", 18) << u"sent binary data"_s;
        QTest::newRow("endless request")
            << QByteArray(1 << 20, '<') << u"sent more than 65536 bytes without a terminator"_s;
        // Far more reply bytes than the 64 KiB the test allows to queue.
        QTest::newRow("replies pile up")
            << (QByteArray("$GetDishTables") + kTerm).repeated(1000) << u"does not read its replies"_s;
    }
    void dropsFaultyClientAlone()
    {
        QFETCH(QByteArray, chunk);
        QFETCH(QString, reason);
        ServerLimits limits;
        limits.maxQueuedReplyBytes = 64 * 1024;
        Running running(limits);
        WireClient good;
        WireClient bad;
        QVERIFY(running.opened && good.connectTo(running.server.serverPort()) &&
                bad.connectTo(running.server.serverPort()));
        const quint16 badPort = bad.socket.localPort();
        // Meanwhile the good client's request (Сахара, in Windows-1251) waits cut inside its terminator,
        // whose last byte comes alone.
        good.send("$GetDishes=\xD1\xE0\xF5\xE0\xF0\xE0<\xA5");
        bad.send(chunk);
        QTRY_COMPARE(bad.socket.state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(running.server.clientCount(), 1);
        // Dropping is the end of its story: no "Disconnected" line besides.
        QCOMPARE(running.log.size(), 3);
        QVERIFY2(running.log[2].startsWith(u"Dropped 127.0.0.1:%1: %2"_s.arg(badPort).arg(reason)),
                 qPrintable(running.log[2]));
        good.send(">");
        QCOMPARE(good.next(), QByteArray("$Dishes=Jaggery, cane<BL>Sugarcane, juice<\xA5>"));
    }

    // One client past the limit is refused until a place comes free.
    void refusesClientsPastTheLimit()
    {
        ServerLimits limits;
        limits.maxClients = 1;
        Running running(limits);
        WireClient first;
        WireClient second;
        QVERIFY(running.opened && first.connectTo(running.server.serverPort()));
        second.connectTo(running.server.serverPort());
        QVERIFY(second.next().isEmpty()); // closed, unanswered
        QVERIFY2(running.log.last().contains(QRegularExpression(
                     u"^Refused 127\\.0\\.0\\.1:\\d+: 1 clients are connected already$"_s)),
                 qPrintable(running.log.last()));
        first.socket.disconnectFromHost();
        QTRY_COMPARE(running.server.clientCount(), 0);
        QVERIFY(second.connectTo(running.server.serverPort()));
        QVERIFY(second.ask(u"$Get_Man_Norm"_s).startsWith("$Man_Norm="));
    }

    // A thousand silent connections take at most their address's share of places, and only until
    // they have been idle too long; a client that keeps asking is served throughout.
    void idleCrowdLocksNobodyOut()
    {
        if (DescriptorLimit::raiseSoftLimit() < 2200) // both ends of every connection are here
            QSKIP("the descriptor limit is below the 2200 both ends of 1000 connections need");
        ServerLimits limits;
        // Long enough that a loaded machine still answers the honest client within it.
        limits.idleTimeoutMs = 3000;
        Running running(limits);
        QVERIFY(running.opened);
        // From 127.0.0.2 (all of 127.0.0.0/8 is this machine), apart from the honest client.
        std::vector<std::unique_ptr<QTcpSocket>> crowd;
        for (int i = 0; i < 1000; ++i) {
            crowd.push_back(std::make_unique<QTcpSocket>());
            crowd.back()->bind(QHostAddress(u"127.0.0.2"_s));
            crowd.back()->connectToHost(QHostAddress(QHostAddress::LocalHost), running.server.serverPort());
        }
        QTRY_COMPARE(running.log.filter(u"Refused 127.0.0.2:"_s).size(), 950);
        QVERIFY(running.log.last().contains(QRegularExpression(
            u"^Refused 127\\.0\\.0\\.2:\\d+: 50 connections from 127\\.0\\.0\\.2 are open already$"_s)));
        QCOMPARE(running.server.clientCount(), 50);

        WireClient honest;
        QVERIFY(honest.connectTo(running.server.serverPort()));
        for (int i = 0; i < 4; ++i) {
            QVERIFY(honest.ask(u"$GetDishTables"_s).startsWith("$BB="));
            QTest::qWait(1000); // 4 s in all, never 3 s without a request
        }
        QTRY_COMPARE(running.server.clientCount(), 1);
        const QStringList idle = running.log.filter(u"sent no complete request for 3 s"_s);
        QCOMPARE(idle.size(), 50);
        QVERIFY(honest.ask(u"$GetDishTables"_s).startsWith("$BB="));
    }

    // Past the descriptor limit accepting fails; it resumes by itself once
    // descriptors come free, and the client waiting in the backlog is served.
    void acceptingResumesWhenDescriptorsComeFree()
    {
        Running running;
        QVERIFY(running.opened);
        rlimit saved{};
        QVERIFY(getrlimit(RLIMIT_NOFILE, &saved) == 0);
        rlimit low = saved;
        low.rlim_cur = rlim_t(QDir(u"/proc/self/fd"_s).count() + 32);
        QVERIFY(setrlimit(RLIMIT_NOFILE, &low) == 0);
        std::vector<int> held;
        for (int fd = ::open("/dev/null", O_RDONLY); fd >= 0; fd = ::open("/dev/null", O_RDONLY))
            held.push_back(fd);
        ::close(held.back()); // the client's one
        held.pop_back();
        WireClient client;
        QVERIFY(client.connectTo(running.server.serverPort()));
        client.send("$GetDishTables<\xA5>");
        QTRY_VERIFY(running.log.filter(u"Cannot accept clients"_s).size() == 1);
        QTest::qWait(3 * DemoServer::kAcceptRetryMs);
        QCOMPARE(running.log.filter(u"Cannot accept clients"_s).size(), 1); // once per run of failures
        for (const int fd : held)
            ::close(fd);
        setrlimit(RLIMIT_NOFILE, &saved);
        QElapsedTimer served;
        served.start();
        QVERIFY(client.next().startsWith("$BB=") && served.elapsed() < 1000);
        QVERIFY(running.log.contains(u"Accepting clients again"_s));
    }

    // The database beside the program is served on the port the first line
    // gives; then each client event (with --log-requests each request answered) is a line of the log,
    // after a time stamp.
    // SIGTERM, as a service stop sends, ends it cleanly: the requests already
    // sent are answered, the connection closed, "Stopped" logged, status 0.
    void servesLogsAndStopsOnSignal()
    {
        QProcess demo;
        demo.setProcessChannelMode(QProcess::MergedChannels);
        demo.start(QStringLiteral(BRASTEL_DEMO_EXE),
                   {u"--port"_s, u"0"_s, u"--no-norms"_s, u"--log-requests"_s});
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
        const quint16 port = listening.match(readLines(1).value(0)).captured(1).toUShort();
        QVERIFY(client.connectTo(port));
        QCOMPARE(client.ask(u"$Get_Man_Norm"_s), QByteArray("$No_Fiz_NormDB<\xA5>"));
        client.send("$mess=\xCF\xF0\xE8\xE2\xE5\xF2\r\n\tline two<\xA5>$GetDishes=Bread<\xA5>");
        QCOMPARE(client.next(), QByteArray("$Dishes=$NO_DISHES<\xA5>")); // the message had no reply
        const QString peer = u"127.0.0.1:%1"_s.arg(client.socket.localPort());
        client.socket.disconnectFromHost();
        static const QRegularExpression stamp(u"^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d "_s);
        const QString asked = u"Request from "_s + peer + u": "_s;
        QCOMPARE(readLines(7).mid(1).replaceInStrings(stamp, QString()),
                 (QStringList{u"Serving without norms"_s, u"Connected "_s + peer, asked + u"$Get_Man_Norm"_s,
                              u"Message from "_s + peer + u": Привет\\r\\n\\tline two"_s,
                              asked + u"$GetDishes=Bread"_s, u"Disconnected "_s + peer}));

        WireClient late;
        QVERIFY(late.connectTo(port));
        const QString latePeer = u"127.0.0.1:%1"_s.arg(late.socket.localPort());
        late.send(QByteArray("$GetDishTables<\xA5>").repeated(10));
        QVERIFY(late.next().startsWith("$BB=")); // so all ten have arrived
        demo.terminate();
        QVERIFY(demo.waitForFinished(WireClient::kWaitMs) && demo.exitStatus() == QProcess::NormalExit);
        QCOMPARE(demo.exitCode(), 0);
        for (int reply = 1; reply < 10; ++reply)
            QVERIFY2(late.next().startsWith("$BB="), qPrintable(QString::number(reply)));
        QVERIFY(late.next().isEmpty() && late.socket.state() == QAbstractSocket::UnconnectedState);
        const QStringList asked10(10, u"Request from "_s + latePeer + u": $GetDishTables"_s);
        QCOMPARE(readLines(20).mid(7).replaceInStrings(stamp, QString()),
                 (QStringList{u"Connected "_s + latePeer} + asked10 +
                  QStringList{u"Disconnected "_s + latePeer, u"Stopped"_s}));
    }

    void exitsWithAMessage()
    {
        QTcpServer busy;
        QVERIFY(busy.listen(QHostAddress(QHostAddress::LocalHost), 0));
        const QString port = QString::number(busy.serverPort());
        // Held here when the tests run as root; refused by the system otherwise.
        QTcpServer privileged;
        privileged.listen(QHostAddress(QHostAddress::LocalHost), 1023);
        const struct
        {
            QStringList args;
            int exitCode;
            QString message;
        } cases[] = {
            {{u"--port"_s, port}, 1, u"brastel-demo: cannot listen on 127.0.0.1:%1: "_s.arg(port)},
            // Not 400, the default: a client test may rely on nothing listening there.
            {{u"--port=1023"_s}, 1, u"need privileges on Linux; --port 0 picks a free port"_s},
            {{u"--port=0"_s, u"--db=/nonexistent/x"_s},
             1,
             u"cannot open the database: /nonexistent/x: no such"_s},
            {{u"--colour"_s}, 2, u"Try --help."_s},
            {{u"--port=0"_s, u"--max-clients=2000000000"_s},
             2,
             u"needs more open files than the limit of "_s},
            {{u"--version"_s}, 0, u"brastel-demo 1.0.0\n"_s},
            {{u"--help"_s}, 0, u"--max-clients <N>"_s},
        };
        for (const auto& c : cases) {
            QProcess demo;
            demo.setProcessChannelMode(QProcess::MergedChannels);
            demo.start(QStringLiteral(BRASTEL_DEMO_EXE), c.args);
            QVERIFY(demo.waitForFinished(WireClient::kWaitMs));
            QCOMPARE(demo.exitStatus(), QProcess::NormalExit);
            QCOMPARE(demo.exitCode(), c.exitCode);
            const QString output = QString::fromUtf8(demo.readAll());
            QVERIFY2(output.contains(c.message) && !output.contains(u"Listening"_s), qPrintable(output));
        }
    }
};

QTEST_GUILESS_MAIN(TestDemoServer)
#include "TestDemoServer.moc"
