#include "ServerSession.h"

#include "Dialogs.h"
#include "HostileServer.h"
#include "PlainTextStatusBox.h"
#include "Recorders.h"
#include "ScriptedDialogs.h"
#include "TcpClientSocket.h"

#include <QHostAddress>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <stdexcept>

namespace {

const QByteArray kTerm("\x3C\xA5\x3E");

// A real server on the loopback; `peer` is the connection it accepted.
struct LoopbackServer
{
    QTcpServer server;
    QPointer<QTcpSocket> peer;

    LoopbackServer()
    {
        QObject::connect(&server, &QTcpServer::newConnection,
                         [this] { peer = server.nextPendingConnection(); });
    }
    bool listen() { return server.listen(QHostAddress::LocalHost); }
    QString port() const { return QString::number(server.serverPort()); }

    void send(const QByteArray& bytes)
    {
        peer->write(bytes);
        peer->flush();
    }
    QByteArray receive(qsizetype atLeast)
    {
        QByteArray got;
        (void)QTest::qWaitFor(
            [&] {
                if (peer)
                    got += peer->readAll();
                return got.size() >= atLeast;
            },
            10000);
        return got;
    }
};

// The session over a real socket, connected to a loopback server, with its
// payloads recorded.
struct Connected
{
    LoopbackServer server;
    TcpClientSocket* socket = new TcpClientSocket;
    ServerSession session;
    CallLog log;
    RecordingTarget target{log};
    int arrivalsEnded = 0;

    explicit Connected(qsizetype maxPendingBytes = MessageSplitter::kDefaultMaxPendingBytes)
        : session(socket, nullptr, maxPendingBytes)
    {
        session.setReplyTarget(&target);
        // Connected after the session, so it runs when the session's own
        // handling of an arrival is over.
        QObject::connect(socket, &ClientSocket::DataArrival, [this] { ++arrivalsEnded; });
    }
    bool open()
    {
        if (!server.listen())
            return false;
        QSignalSpy connected(socket, &ClientSocket::Connected);
        socket->Connect(u"127.0.0.1"_qs, server.port());
        return (connected.count() || connected.wait(10000)) &&
               QTest::qWaitFor([this] { return !server.peer.isNull(); });
    }
};

// Stands in for the adapter where a real socket cannot be made to fail: a
// send that fails with something other than "not connected".
class FailingSendSocket final : public ClientSocket
{
public:
    void Connect(const QString&, const QString&) override {}
    void Close() override {}
    void SendData(const QString&) override { throw SocketError{10054, u"Connection reset by peer"_qs}; }
    QByteArray GetData() override { return {}; }
    int State() const override { return sckConnected; }
    QString LocalIP() const override { return u"127.0.0.1"_qs; }
};

// Hands the session whatever the test queued, all at once.
class QueuedSocket final : public ClientSocket
{
public:
    void Connect(const QString&, const QString&) override {}
    void Close() override {}
    void SendData(const QString&) override {}
    QByteArray GetData() override { return std::exchange(queued, {}); }
    int State() const override { return sckConnected; }
    QString LocalIP() const override { return u"127.0.0.1"_qs; }
    QByteArray queued;
};

// The numbers n of the lines "Неизвестная команда сервера: $un" the log
// holds after its heading, when they run on from its first without a gap.
qsizetype unknownLinesInOrder(const QString& log, int last)
{
    const QStringList lines = log.mid(StatusLog::initialText().size()).split(u"\r\n"_qs, Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i] != u"Неизвестная команда сервера: $u%1"_qs.arg(last - lines.size() + 1 + i))
            return -1;
    }
    return lines.size();
}

} // namespace

class TestServerSession : public QObject
{
    Q_OBJECT

private slots:
    void sendCommandFramesTheRequest();
    void sendCommandWhileClosedShowsTheBox_data();
    void sendCommandWhileClosedShowsTheBox();
    void sendCommandReportsOtherFailures();
    void routesRepliesCutIntoPieces();
    void nestedEventLoopHandsEachMessageOnce();
    void nestedArrivalDuringAHandlerOnlyBuffers();
    void peerClosingDuringAHandlerLosesNothing();
    void floodWithoutTerminatorDropsTheConnection();
    void floodPastTheRealBound();
    void clearBufferForgetsABrokenMessage();
    void escapedHandlerErrorIsReportedAndTheNextMessageHandled();
    void longRunIsHandedOverInSlices();
    void hostileServerFloodsAndSendsAHugeMess();
};

void TestServerSession::sendCommandFramesTheRequest()
{
    ScriptedDialogs dialogs;
    Connected c;
    QVERIFY(c.open());
    c.session.SendCommand(u"$GetDishTables"_qs);
    c.session.SendCommand(u"$GetHSDishes=Хлеб<Str>Батон"_qs);
    const QByteArray expected =
        "$GetDishTables" + kTerm + "$GetHSDishes=\xD5\xEB\xE5\xE1<Str>\xC1\xE0\xF2\xEE\xED" + kTerm;
    QCOMPARE(c.server.receive(expected.size()), expected);
    QVERIFY(dialogs.boxes().isEmpty());
}

void TestServerSession::sendCommandWhileClosedShowsTheBox_data()
{
    QTest::addColumn<bool>("everConnected");
    QTest::newRow("never connected") << false;
    QTest::newRow("disconnected") << true;
}

void TestServerSession::sendCommandWhileClosedShowsTheBox()
{
    QFETCH(bool, everConnected);
    ScriptedDialogs dialogs;
    dialogs.expectBox();
    Connected c;
    if (everConnected) {
        QVERIFY(c.open());
        c.socket->Close();
    }
    c.session.SendCommand(u"$Get_Man_Norm"_qs);
    QCOMPARE(dialogs.boxes().size(), 1);
    const Dialogs::Box box = dialogs.boxes().first();
    QCOMPARE(box.text,
             u"Потеряно подключение к серверу\rповторите попытку подключения\rВозможно сервер занят"_qs);
    QCOMPARE(box.icon, Dialogs::Icon::None);
    QCOMPARE(box.buttons, Dialogs::Buttons::Ok);
    QCOMPARE(box.title, u"Quorvel"_qs);
    // Nothing else changed: still closed, nothing logged.
    QCOMPARE(c.socket->State(), int(ClientSocket::sckClosed));
    QCOMPARE(c.session.statusLog().text(), StatusLog::initialText());
}

void TestServerSession::sendCommandReportsOtherFailures()
{
    ScriptedDialogs dialogs;
    dialogs.expectBox();
    ServerSession session(new FailingSendSocket);
    session.SendCommand(u"$GetDishTables"_qs);
    QCOMPARE(dialogs.boxes().size(), 1);
    const Dialogs::Box box = dialogs.boxes().first();
    QCOMPARE(box.text,
             u"Ошибка отправки запроса!\rConnection reset by peer\rDish_Cli\rSendCommand\rКод: 10054"_qs);
    QCOMPARE(box.title, u"Ventaro"_qs);
    QCOMPARE(box.icon, Dialogs::Icon::Critical);
}

void TestServerSession::routesRepliesCutIntoPieces()
{
    ScriptedDialogs dialogs;
    dialogs.expectBox();
    Connected c;
    QVERIFY(c.open());
    const QByteArray stream = "$BB=\xD5\xEB\xE5\xE1<TB>1<EB>" + kTerm + "$Dishes=a<BL>b" + kTerm + kTerm +
                              "$HSDishes=1<Sc>2<Sc>3<Sc>4<Str>x<Sc>100" + kTerm + "$Man_Norm=n" + kTerm +
                              "$mess=hello" + kTerm + "$GIRL_NORM=g" + kTerm;
    // Pieces of 1 to 7 bytes, so terminators are cut every possible way.
    for (qsizetype at = 0, step = 1; at < stream.size(); at += step, step = step % 7 + 1) {
        c.server.send(stream.mid(at, step));
        if (step == 7)
            QTest::qWait(1);
    }
    const QStringList expected{u"form_Bases_Bl:Хлеб<TB>1<EB>"_qs, u"form_Dishes_Bl:a<BL>b"_qs,
                               u"receiveComposition:1<Sc>2<Sc>3<Sc>4<Str>x<Sc>100"_qs, u"receiveNorm:n"_qs,
                               u"receiveNorm:g"_qs};
    QTRY_COMPARE(c.log.calls, expected);
    QCOMPARE(dialogs.boxTexts(), QStringList{u"hello"_qs});
    QCOMPARE(c.session.statusLog().text(), StatusLog::initialText() +
                                               u"\r\nНеизвестная команда сервера: "_qs +
                                               u"\r\nПолучили ХС рецептуры... "_qs);
    QCOMPARE(c.session.bufferedBytes(), qsizetype(0));
}

void TestServerSession::nestedEventLoopHandsEachMessageOnce()
{
    ScriptedDialogs dialogs;
    Connected c;
    QVERIFY(c.open());
    int nested = 0;
    c.target.onCall = [&](const QString& call) {
        if (!call.startsWith(u"form_Bases_Bl"_qs))
            return;
        ++nested;
        // While this handler "shows a modal box", more arrives (a terminator
        // cut in two among it) and the event loop runs, as under a real box.
        c.server.send("$Dishes=during" + kTerm + "$Dishes=tail<");
        QTest::qWait(300);
        c.server.send(QByteArray("\xA5>"));
        QTest::qWait(300);
    };
    // Nothing is sent after the nested loop: a message left waiting in the
    // socket would never be handed on, since no later arrival announces it.
    c.server.send("$BB=first" + kTerm + "$Dishes=queued" + kTerm);
    QTRY_COMPARE(c.log.calls, (QStringList{u"form_Bases_Bl:first"_qs, u"form_Dishes_Bl:queued"_qs,
                                           u"form_Dishes_Bl:during"_qs, u"form_Dishes_Bl:tail"_qs}));
    QCOMPARE(nested, 1);
    QTest::qWait(100);
    QCOMPARE(c.log.calls.size(), 4);
    QCOMPARE(c.session.bufferedBytes(), qsizetype(0));
}

void TestServerSession::nestedArrivalDuringAHandlerOnlyBuffers()
{
    ScriptedDialogs dialogs;
    Connected c;
    QVERIFY(c.open());
    QStringList seenInside;
    c.target.onCall = [&](const QString& call) {
        if (call != u"form_Bases_Bl:1"_qs)
            return;
        // An arrival announced while this message is still being handled
        // (the socket does so when the peer closes under a modal box).
        emit c.socket->DataArrival();
        emit c.socket->DataArrival();
        seenInside = c.log.calls;
    };
    c.server.send("$BB=1" + kTerm + "$BB=2" + kTerm);
    QTRY_COMPARE(c.log.calls, (QStringList{u"form_Bases_Bl:1"_qs, u"form_Bases_Bl:2"_qs}));
    // Neither the message in hand nor the next one was handed over inside.
    QCOMPARE(seenInside, QStringList{u"form_Bases_Bl:1"_qs});
    QTest::qWait(100);
    QCOMPARE(c.log.calls.size(), 2);
}

void TestServerSession::peerClosingDuringAHandlerLosesNothing()
{
    ScriptedDialogs dialogs;
    Connected c;
    QVERIFY(c.open());
    QSignalSpy closed(c.socket, &ClientSocket::Closed);
    c.target.onCall = [&](const QString& call) {
        if (call != u"form_Bases_Bl:1"_qs)
            return;
        c.server.send("$Dishes=last" + kTerm);
        c.server.peer->disconnectFromHost();
        (void)QTest::qWaitFor([&] { return closed.count() > 0; }, 5000);
    };
    c.server.send("$BB=1" + kTerm);
    QTRY_COMPARE(c.log.calls, (QStringList{u"form_Bases_Bl:1"_qs, u"form_Dishes_Bl:last"_qs}));
    QCOMPARE(closed.count(), 1);
}

void TestServerSession::floodWithoutTerminatorDropsTheConnection()
{
    ScriptedDialogs dialogs;
    dialogs.expectBox(); // "$Mess=" sent before the flood
    dialogs.expectBox(); // the flood
    const qsizetype bound = 64 * 1024;
    Connected c(bound);
    QVERIFY(c.open());
    QSignalSpy dropped(&c.session, &ServerSession::connectionDropped);
    QSignalSpy closed(c.socket, &ClientSocket::Closed);
    QPointer<QTcpSocket> peer = c.server.peer;
    c.server.send("$Mess=before" + kTerm + "$BB=" + QByteArray(bound + 1000, 'x'));
    QTRY_COMPARE(dropped.count(), 1);
    QCOMPARE(dialogs.boxTexts(), (QStringList{u"before"_qs, ServerSession::overflowText(bound)}));
    QCOMPARE(dialogs.boxes().last().icon, Dialogs::Icon::Critical);
    QVERIFY(ServerSession::overflowText(bound).contains(u"65536 байт"_qs));
    QVERIFY(ServerSession::overflowText(64 * 1024 * 1024).contains(u"64 МБ"_qs));
    QCOMPARE(c.socket->State(), int(ClientSocket::sckClosed));
    QCOMPARE(c.session.bufferedBytes(), qsizetype(0));
    QVERIFY(c.log.calls.isEmpty());
    // The server sees the connection end; the program hears no close of its own.
    QTRY_VERIFY(!peer || peer->state() != QAbstractSocket::ConnectedState);
    QTest::qWait(100);
    QCOMPARE(closed.count(), 0);
    QCOMPARE(dropped.count(), 1);
}

void TestServerSession::floodPastTheRealBound()
{
    ScriptedDialogs dialogs;
    dialogs.expectBox();
    Connected c;
    QVERIFY(c.open());
    QSignalSpy dropped(&c.session, &ServerSession::connectionDropped);
    // 64 MiB and a little more, no terminator, written as the client reads.
    const QByteArray chunk(1024 * 1024, 'z');
    int written = 0;
    QObject::connect(c.server.peer, &QTcpSocket::bytesWritten, [&] {
        if (c.server.peer && c.server.peer->bytesToWrite() == 0 && written < 65)
            ++written, c.server.peer->write(chunk);
    });
    ++written;
    c.server.peer->write(chunk);
    QTRY_COMPARE_WITH_TIMEOUT(dropped.count(), 1, 60000);
    QCOMPARE(written, 65);
    QCOMPARE(dialogs.boxTexts(),
             QStringList{ServerSession::overflowText(MessageSplitter::kDefaultMaxPendingBytes)});
    QCOMPARE(c.session.bufferedBytes(), qsizetype(0));
}

void TestServerSession::clearBufferForgetsABrokenMessage()
{
    ScriptedDialogs dialogs;
    Connected c;
    QVERIFY(c.open());
    c.server.send("$BB=half of a cata");
    QTRY_COMPARE(c.session.bufferedBytes(), qsizetype(18));
    c.session.clearBuffer();
    QCOMPARE(c.session.bufferedBytes(), qsizetype(0));
    c.server.send("$Dishes=x" + kTerm);
    QTRY_COMPARE(c.log.calls, QStringList{u"form_Dishes_Bl:x"_qs});
}

void TestServerSession::escapedHandlerErrorIsReportedAndTheNextMessageHandled()
{
    ScriptedDialogs dialogs;
    dialogs.expectBox();
    Connected c;
    QVERIFY(c.open());
    c.target.onCall = [](const QString& call) {
        if (call == u"form_Bases_Bl:bad"_qs)
            throw std::runtime_error("bad catalogue");
    };
    c.server.send("$BB=bad" + kTerm + "$Dishes=ok" + kTerm);
    QTRY_COMPARE(c.log.calls, (QStringList{u"form_Bases_Bl:bad"_qs, u"form_Dishes_Bl:ok"_qs}));
    QCOMPARE(dialogs.boxTexts(), QStringList{u"bad catalogue\rDish_Cli\rParseServerCommand\rКод: 0"_qs});
}

// However much is buffered, one pass holds the event loop only for its
// slice; the rest follows on later turns, in order, each message once.
void TestServerSession::longRunIsHandedOverInSlices()
{
    auto* socket = new QueuedSocket;
    ServerSession session(socket);
    constexpr int count = 300000;
    socket->queued = HostileServer::flood("$u%1", count);
    emit socket->DataArrival();
    const QString afterOnePass = session.statusLog().text();
    QVERIFY(afterOnePass.size() > StatusLog::initialText().size());
    QVERIFY(!afterOnePass.endsWith(u"$u%1"_qs.arg(count - 1)));
    QTRY_VERIFY(session.statusLog().text().endsWith(u"$u%1"_qs.arg(count - 1)));
    QVERIFY(unknownLinesInOrder(session.statusLog().text(), count - 1) > 1000);
    QCOMPARE(session.bufferedBytes(), qsizetype(0));
}

// Over a real socket: a flood of unknown messages, a "$Mess=" of a megabyte
// and a reply behind them all. The log box shows the log; the box shows the
// start of the text; the reply is handled.
void TestServerSession::hostileServerFloodsAndSendsAHugeMess()
{
    HostileServer hostile(HostileServer::flood("$u%1", 100000) + "$Mess=" +
                          QByteArray("line of text\r\n").repeated(80000) + "<\xA5>$Dishes=end<\xA5>");
    ScriptedDialogs dialogs;
    dialogs.expectBox();
    auto* socket = new TcpClientSocket;
    ServerSession session(socket);
    CallLog log;
    RecordingTarget target(log);
    session.setReplyTarget(&target);
    QPlainTextEdit edit;
    PlainTextStatusBox box(&edit);
    session.setStatusBox(&box);
    socket->Connect(u"127.0.0.1"_qs, hostile.port());
    QTRY_COMPARE_WITH_TIMEOUT(log.calls, QStringList{u"form_Dishes_Bl:end"_qs}, 30000);
    QCOMPARE(dialogs.boxes().size(), 1);
    QVERIFY(dialogs.boxTexts().first().startsWith(u"line of text\rline of text\r"_qs));
    QVERIFY(dialogs.boxTexts().first().contains(u"не показано знаков — "_qs));
    const QString text = session.statusLog().text();
    const QString logged = u"Сообщение сервера: "_qs + u"line of text\r\n"_qs.repeated(5000);
    QVERIFY(text.endsWith(u"\r\n"_qs + logged.left(StatusLog::kMaxLineChars) + u"…"_qs));
    QVERIFY(unknownLinesInOrder(text.left(text.lastIndexOf(u"\r\nСообщение сервера: "_qs)), 99999) > 1000);
    QCOMPARE(edit.toPlainText(), PlainTextStatusBox::displayText(text));
}

QTEST_MAIN(TestServerSession)
#include "TestServerSession.moc"
