#include "DemoServer.h"

#include "DemoDatabase.h"
#include "RequestHandler.h"
#include "WireClient.h"

#include <QTest>

#include <memory>
#include <vector>

namespace {

// Windows-1251 spelled out byte by byte, so these tests do not lean on the
// codec they check.
const QByteArray kTerm = QByteArrayLiteral("<\xA5>");
const QByteArray kComposites =
    QByteArrayLiteral("\xCA\xEE\xEC\xEF\xEB\xE5\xEA\xF1\xED\xFB\xE5 \xE1\xEB\xFE\xE4\xE0");
const QByteArray kCereals = QByteArrayLiteral("\xC7\xEB\xE0\xEA\xE8 \xE8 \xEF\xF0\xEE\xF1\xEE");
const QByteArray kRiceWithChicken =
    QByteArrayLiteral("\xD0\xE8\xF1 \xF1 \xEA\xF3\xF0\xE8\xED\xEE\xE9 \xE3\xF0\xF3\xE4\xEA\xEE\xE9");
const QByteArray kSummerSalad = QByteArrayLiteral(
    "\xD1\xE0\xEB\xE0\xF2 \xAB\xCB\xE5\xF2\xED\xE8\xE9\xBB \xE8\xE7 \xEE\xE3\xF3\xF0\xF6\xEE\xE2 \xE8 "
    "\xEF\xEE\xEC\xE8\xE4\xEE\xF0\xEE\xE2");

const QByteArray kFruitSalad = QByteArrayLiteral("\xD4\xF0\xF3\xEA\xF2\xEE\xE2\xFB\xE9 \xF1\xE0\xEB\xE0\xF2");

// A server on 127.0.0.1, a free port, in this thread.
class Running
{
public:
    explicit Running(ServerLimits limits = {}, RequestHandler::Options options = {})
        : handler(database, options), server(handler, limits)
    {
        opened = database.open(QStringLiteral(BRASTEL_DEMO_DB)).isEmpty() &&
                 server.listen(QHostAddress(QHostAddress::LocalHost), 0);
    }
    quint16 port() const { return server.serverPort(); }

    DemoDatabase database;
    RequestHandler handler;
    DemoServer server;
    bool opened = false;
};

// The server's log lines, as they come.
class LogLines
{
public:
    explicit LogLines(DemoServer& server)
    {
        QObject::connect(&server, &DemoServer::logLine, &server,
                         [this](const QString& line) { m_lines << line; });
    }
    QStringList all() const { return m_lines; }
    QStringList starting(const QString& prefix) const
    {
        QStringList found;
        for (const QString& line : m_lines) {
            if (line.startsWith(prefix))
                found << line;
        }
        return found;
    }

private:
    QStringList m_lines;
};

} // namespace

class TestDemoServer : public QObject
{
    Q_OBJECT

private slots:
    // Every request of the client and its reply, as bytes on the socket.
    void repliesByteForByte_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("replyStart");
        QTest::addColumn<QByteArray>("replyEnd");

        QTest::newRow("catalogue") << QByteArray("$GetDishTables") + kTerm
                                   << QByteArray("$BB=") + kComposites +
                                          "<TB>10<TB>IFCT 2017 components<EB>" + kCereals +
                                          "<TB>24<TB>IFCT 2017: Cereals and Millets<EB>"
                                   << QByteArray("<TB>14<TB>IFCT 2017: Edible Oils and Fats") + kTerm;
        QTest::newRow("dish list") << QByteArray("$GetDishes=") + kCereals + kTerm
                                   << QByteArray(
                                          "$Dishes=Amaranth seed, black<BL>Amaranth seed, pale brown<BL>")
                                   << QByteArray("<BL>Wheat, vermicelli, roasted") + kTerm;
        QTest::newRow("composite dish list")
            << QByteArray("$GetDishes=") + kComposites + kTerm
            << QByteArray("$Dishes=") + kRiceWithChicken + "<BL>" << QByteArray("<BL>") + kFruitSalad + kTerm;
        QTest::newRow("unknown collection") << QByteArray("$GetDishes=Bread") + kTerm
                                            << QByteArray("$Dishes=$NO_DISHES") + kTerm << QByteArray();
        QTest::newRow("composition")
            << QByteArray("$GetHSDishes=") + kCereals + "<Str>Amaranth seed, black" + kTerm
            << QByteArray("$HSDishes=14,59<Sc>5,74<Sc>0,88<Sc>55,83<Str>Amaranth seed, black<Sc>100") + kTerm
            << QByteArray();
        QTest::newRow("composite composition")
            << QByteArray("$GetHSDishes=") + kComposites + "<Str>" + kSummerSalad + kTerm
            << QByteArray("$HSDishes=1,47<Sc>0,41<Sc>2,09<Sc>0,5<Str>") + kSummerSalad + "<Sc>100/100" + kTerm
            << QByteArray();
        QTest::newRow("unknown dish") << QByteArray("$GetHSDishes=") + kComposites + "<Str>Bread" + kTerm
                                      << QByteArray("$Err_inquiry") + kTerm << QByteArray();
        QTest::newRow("men's norms")
            << QByteArray("$Get_Man_Norm") + kTerm
            << QByteArray("$Man_Norm=1<Sc>I<Sc>1,4<Sc>18-29<Sc>2450<Str>2<Sc>I<Sc>1,4<Sc>30-39<Sc>2300<Str>")
            << QByteArray("<Str>15<Sc>V<Sc>2,5<Sc>40-59<Sc>3750") + kTerm;
        QTest::newRow("women's norms") << QByteArray("$Get_Girl_Norm") + kTerm
                                       << QByteArray("$Girl_Norm=16<Sc>I<Sc>1,4<Sc>18-29<Sc>2000<Str>")
                                       << QByteArray("<Str>27<Sc>IV<Sc>2,2<Sc>40-59<Sc>2850") + kTerm;
        QTest::newRow("unknown request")
            << QByteArray("$Hello") + kTerm << QByteArray("$Err_inquiry") + kTerm << QByteArray();
        QTest::newRow("empty request") << kTerm << QByteArray("$Err_inquiry") + kTerm << QByteArray();
    }
    void repliesByteForByte()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, replyStart);
        QFETCH(QByteArray, replyEnd);
        Running running;
        QVERIFY(running.opened);
        WireClient client;
        QVERIFY(client.connectTo(running.port()));
        client.sendRaw(request);
        const std::optional<QByteArray> reply = client.nextReplyBytes();
        QVERIFY(reply);
        QVERIFY2(reply->startsWith(replyStart), reply->left(200).constData());
        QVERIFY2(reply->endsWith(replyEnd), reply->right(200).constData());
        // Exactly one reply: nothing follows it.
        QVERIFY(!client.nextReplyBytes(100));
        QCOMPARE(client.pending(), QByteArray());
    }

    // However the bytes are cut, each request is answered once, in order.
    void answersRequestsHoweverTheyArrive()
    {
        Running running;
        QVERIFY(running.opened);
        WireClient client;
        QVERIFY(client.connectTo(running.port()));

        const QByteArray norms = QByteArray("$Get_Girl_Norm") + kTerm;
        for (const char byte : norms) {
            QVERIFY(!client.nextReplyBytes(0));
            client.sendRaw(QByteArray(1, byte));
            QTest::qWait(1);
        }
        QVERIFY(client.nextReplyBytes()->startsWith("$Girl_Norm=16<Sc>"));

        // Three requests in one write, the last cut inside its terminator.
        client.sendRaw(QByteArray("$Get_Man_Norm") + kTerm + "$Hello" + kTerm + "$GetDishes=x<");
        QVERIFY(client.nextReplyBytes()->startsWith("$Man_Norm=1<Sc>"));
        QCOMPARE(client.nextReplyBytes().value(), QByteArray("$Err_inquiry") + kTerm);
        QVERIFY(!client.nextReplyBytes(200));
        client.sendRaw(QByteArrayLiteral("\xA5>"));
        QCOMPARE(client.nextReplyBytes().value(), QByteArray("$Dishes=$NO_DISHES") + kTerm);
    }

    // "$Mess=" goes to the log with the client's address and gets no reply.
    void messageGoesToTheLog()
    {
        Running running;
        QVERIFY(running.opened);
        LogLines log(running.server);
        WireClient client;
        QVERIFY(client.connectTo(running.port()));
        const QString peer = u"127.0.0.1:%1"_qs.arg(client.socket().localPort());
        client.sendRaw(QByteArray("$Mess=\xCF\xF0\xE8\xE2\xE5\xF2\nline two") + kTerm + "$Hello" + kTerm);
        // The first reply is the one to "$Hello": the message had none.
        QCOMPARE(client.nextReplyBytes().value(), QByteArray("$Err_inquiry") + kTerm);
        QCOMPARE(log.all(), (QStringList{u"Connected "_qs + peer,
                                         u"Message from "_qs + peer + u": Привет\\nline two"_qs}));
        client.socket().disconnectFromHost();
        QTRY_COMPARE(log.all().size(), 3);
        QCOMPARE(log.all().last(), u"Disconnected "_qs + peer);
    }

    // The catalogue for many clients at once, interleaved: each gets its own.
    void servesManyClientsAtOnce()
    {
        Running running;
        QVERIFY(running.opened);
        std::vector<std::unique_ptr<WireClient>> clients;
        for (int i = 0; i < 50; ++i) {
            clients.push_back(std::make_unique<WireClient>());
            QVERIFY(clients.back()->connectTo(running.port()));
        }
        QTRY_COMPARE(running.server.clientCount(), 50);
        for (size_t i = 0; i < clients.size(); ++i)
            clients[i]->sendRaw((i % 2 ? QByteArray("$Get_Man_Norm") : QByteArray("$Get_Girl_Norm")) + kTerm);
        for (size_t i = 0; i < clients.size(); ++i)
            QVERIFY(clients[i]->nextReplyBytes()->startsWith(i % 2 ? "$Man_Norm=" : "$Girl_Norm="));
        clients.clear();
        QTRY_COMPARE(running.server.clientCount(), 0);
    }

    // A faulty client is dropped; a client beside it notices nothing.
    void dropsFaultyClientAlone_data()
    {
        QTest::addColumn<QByteArray>("chunk");
        QTest::addColumn<int>("times");
        QTest::addColumn<QString>("reason");
        QTest::newRow("binary") << QByteArray("\x01\x02\x03\xff", 4) + kTerm << 1 << u"sent binary data"_qs;
        QTest::newRow("NUL inside a request")
            << QByteArray("$GetDishTables\0", 15) + kTerm << 1 << u"sent binary data"_qs;
        QTest::newRow("undefined byte 0x98")
            << QByteArray("$Mess=\x98") + kTerm << 1 << u"sent binary data"_qs;
        // 64 KiB are allowed without a terminator; the next kilobyte is not.
        QTest::newRow("endless request") << QByteArray(1024, 'x') << 65 << u"sent more than 65536 bytes"_qs;
        QTest::newRow("endless in one write")
            << QByteArray(1 << 20, '<') << 1 << u"sent more than 65536 bytes"_qs;
    }
    void dropsFaultyClientAlone()
    {
        QFETCH(QByteArray, chunk);
        QFETCH(int, times);
        QFETCH(QString, reason);
        Running running;
        QVERIFY(running.opened);
        LogLines log(running.server);
        WireClient good;
        WireClient bad;
        QVERIFY(good.connectTo(running.port()));
        QVERIFY(bad.connectTo(running.port()));
        const quint16 badPort = bad.socket().localPort();
        QVERIFY(good.ask(u"$Get_Man_Norm"_qs));
        // Half a request of the good client waits in the server meanwhile.
        good.sendRaw(QByteArray("$GetDishes=") + kCereals);

        for (int i = 0; i < times; ++i) {
            QVERIFY2(bad.socket().state() == QAbstractSocket::ConnectedState, "dropped too early");
            bad.sendRaw(chunk);
            QTest::qWait(1);
        }
        QVERIFY(bad.waitForClosed());
        QVERIFY(!bad.nextReplyBytes(0));
        QTRY_COMPARE(running.server.clientCount(), 1);
        const QStringList dropped = log.starting(u"Dropped"_qs);
        QCOMPARE(dropped.size(), 1);
        QVERIFY2(dropped[0].startsWith(u"Dropped 127.0.0.1:%1: "_qs.arg(badPort)), qPrintable(dropped[0]));
        QVERIFY2(dropped[0].contains(reason), qPrintable(dropped[0]));
        // Dropping is the end of its story: no "Disconnected" line besides.
        QCOMPARE(log.starting(u"Disconnected"_qs), QStringList());

        good.sendRaw(kTerm);
        QVERIFY(good.nextReplyBytes()->startsWith("$Dishes=Amaranth seed, black<BL>"));
        QVERIFY(good.ask(u"$GetDishTables"_qs)->startsWith(u"$BB=Комплексные блюда<TB>"_qs));
    }

    // A client that asks and never reads cannot pile replies up without end.
    void dropsClientThatDoesNotRead()
    {
        ServerLimits limits;
        limits.maxQueuedReplyBytes = 64 * 1024;
        Running running(limits);
        QVERIFY(running.opened);
        LogLines log(running.server);
        WireClient reader;
        QVERIFY(reader.connectTo(running.port()));
        QTcpSocket silent;
        silent.setReadBufferSize(1);
        silent.connectToHost(QHostAddress(QHostAddress::LocalHost), running.port());
        QVERIFY(silent.waitForConnected(WireClient::kWaitMs));
        // About 30 MB of catalogue replies: more than the kernel's buffers
        // can swallow, so the server's own queue must grow past its bound.
        QByteArray burst;
        for (int i = 0; i < 1000; ++i)
            burst += QByteArray("$GetDishTables") + kTerm;
        for (int round = 0; round < 20 && log.starting(u"Dropped"_qs).isEmpty(); ++round) {
            silent.write(burst);
            silent.flush();
            QTest::qWait(20);
        }
        QTRY_VERIFY_WITH_TIMEOUT(!log.starting(u"Dropped"_qs).isEmpty(), WireClient::kWaitMs);
        const QString dropped = log.starting(u"Dropped"_qs).value(0);
        QVERIFY2(dropped.contains(u"does not read its replies"_qs), qPrintable(dropped));
        QVERIFY(reader.ask(u"$Get_Man_Norm"_qs));
    }

    void refusesClientsBeyondTheLimit()
    {
        ServerLimits limits;
        limits.maxClients = 2;
        Running running(limits);
        QVERIFY(running.opened);
        LogLines log(running.server);
        auto first = std::make_unique<WireClient>();
        WireClient second;
        WireClient third;
        QVERIFY(first->connectTo(running.port()));
        QVERIFY(second.connectTo(running.port()));
        QTRY_COMPARE(running.server.clientCount(), 2);
        third.connectTo(running.port());
        QVERIFY(third.waitForClosed());
        const QStringList refused = log.starting(u"Refused 127.0.0.1:"_qs);
        QCOMPARE(refused.size(), 1);
        QVERIFY2(refused[0].endsWith(u": 2 clients are connected already"_qs), qPrintable(refused[0]));
        QVERIFY(second.ask(u"$Get_Man_Norm"_qs));

        first.reset();
        QTRY_COMPARE(running.server.clientCount(), 1);
        WireClient fourth;
        QVERIFY(fourth.connectTo(running.port()));
        QVERIFY(fourth.ask(u"$Get_Girl_Norm"_qs));
    }

    void servesWithoutNorms()
    {
        Running running({}, {.norms = false});
        QVERIFY(running.opened);
        WireClient client;
        QVERIFY(client.connectTo(running.port()));
        client.sendRaw(QByteArray("$Get_Man_Norm") + kTerm + "$Get_Girl_Norm" + kTerm);
        QCOMPARE(client.nextReplyBytes().value(), QByteArray("$No_Fiz_NormDB") + kTerm);
        QCOMPARE(client.nextReplyBytes().value(), QByteArray("$No_Fiz_NormDB") + kTerm);
    }

    void busyPortIsReported()
    {
        Running first;
        QVERIFY(first.opened);
        DemoServer second(first.handler, {});
        QVERIFY(!second.listen(QHostAddress(QHostAddress::LocalHost), first.port()));
        QVERIFY(!second.errorString().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestDemoServer)
#include "TestDemoServer.moc"
