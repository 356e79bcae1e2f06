#include "protocol/ServerSession.h"

#include "common/Dialogs.h"
#include "protocol/PlainTextStatusBox.h"
#include "protocol/Recorders.h"
#include "protocol/TcpClientSocket.h"
#include "support/HostileServer.h"
#include "support/ScriptedDialogs.h"
#include "support/WirePeer.h"

#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

const QByteArray kTerm("<\xA5>");

// The session over a real socket, connected to a loopback server, with its
// payloads recorded.
struct Connected
{
    WirePeer server;
    TcpClientSocket* socket = new TcpClientSocket;
    ServerSession session;
    Recorder log;

    explicit Connected(qsizetype maxPendingBytes = MessageSplitter::kDefaultMaxPendingBytes)
        : session(socket, nullptr, maxPendingBytes)
    {
        session.setReplyTarget(&log);
    }
    bool open()
    {
        QSignalSpy connected(socket, &ClientSocket::Connected);
        socket->Connect(u"127.0.0.1"_s, QString::number(server.port()));
        return (connected.count() || connected.wait(10000)) &&
               QTest::qWaitFor([this] { return server.client() != nullptr; });
    }
    void send(const QByteArray& bytes) { server.sendBytes(0, bytes); }
};

// Stands in for the adapter where a real socket cannot do what a test needs:
// hand over a long run at once, or fail a send with something other than
// "not connected".
class FakeSocket final : public ClientSocket
{
public:
    void Connect(const QString&, const QString&) override {}
    void Close() override {}
    void SendData(const QString&) override
    {
        if (failSends)
            throw SocketError{10054, u"Connection reset by peer"_s};
    }
    QByteArray GetData() override { return std::exchange(queued, {}); }
    int State() const override { return sckConnected; }
    QString LocalIP() const override { return u"127.0.0.1"_s; }
    QByteArray queued;
    bool failSends = false;
};

// The numbers n of the lines "Неизвестная команда сервера: $un" the log
// holds after its heading, when they run on from its first without a gap.
qsizetype unknownLinesInOrder(const QString& log, int last)
{
    const QStringList lines = log.mid(StatusLog::initialText().size()).split(u"\r\n"_s, Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i] != u"Неизвестная команда сервера: $u%1"_s.arg(last - lines.size() + 1 + i))
            return -1;
    }
    return lines.size();
}

} // namespace

class TestServerSession : public QObject
{
    Q_OBJECT

private slots:
    void failedSendShowsABox_data()
    {
        QTest::addColumn<int>("socketKind"); // 0: never connected, 1: disconnected, 2: a send fails
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("icon");
        const QString lost =
            u"Потеряно подключение к серверу\rповторите попытку подключения\rВозможно сервер занят"_s;
        QTest::newRow("never connected") << 0 << lost << u"Quorvel"_s << int(Dialogs::Icon::None);
        QTest::newRow("disconnected") << 1 << lost << u"Quorvel"_s << int(Dialogs::Icon::None);
        QTest::newRow("other failure")
            << 2 << u"Ошибка отправки запроса!\rConnection reset by peer\rDish_Cli\rSendCommand\rКод: 10054"_s
            << u"Ventaro"_s << int(Dialogs::Icon::Critical);
    }
    void failedSendShowsABox()
    {
        QFETCH(int, socketKind);
        ScriptedDialogs dialogs;
        dialogs.expectBox();
        Connected c;
        auto* failing = new FakeSocket;
        failing->failSends = true;
        ServerSession failingSession(failing);
        if (socketKind == 1) {
            QVERIFY(c.open());
            c.socket->Close();
        }
        ServerSession& session = socketKind == 2 ? failingSession : c.session;
        session.SendCommand(u"$Get_Man_Norm"_s);
        QCOMPARE(dialogs.boxes().size(), 1);
        const Dialogs::Box box = dialogs.boxes().first();
        QTEST(box.text, "text");
        QTEST(box.title, "title");
        QTEST(int(box.icon), "icon");
        QCOMPARE(box.buttons, Dialogs::Buttons::Ok);
        // Nothing else changed: still closed, nothing logged.
        QCOMPARE(c.socket->State(), int(ClientSocket::sckClosed));
        QCOMPARE(session.statusLog().text(), StatusLog::initialText());
    }

    void routesRepliesCutIntoPieces()
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
            c.send(stream.mid(at, step));
            if (step == 7)
                QTest::qWait(1);
        }
        const QStringList expected{u"form_Bases_Bl:Хлеб<TB>1<EB>"_s, u"form_Dishes_Bl:a<BL>b"_s,
                                   u"receiveComposition:1<Sc>2<Sc>3<Sc>4<Str>x<Sc>100"_s, u"receiveNorm:n"_s,
                                   u"receiveNorm:g"_s};
        QTRY_COMPARE(c.log.calls, expected);
        QCOMPARE(dialogs.boxTexts(), QStringList{u"hello"_s});
        QCOMPARE(c.session.statusLog().text(), StatusLog::initialText() +
                                                   u"\r\nНеизвестная команда сервера: "_s +
                                                   u"\r\nПолучили ХС рецептуры... "_s);
        // Requests go out framed, in Windows-1251, with no box.
        c.session.SendCommand(u"$GetDishTables"_s);
        c.session.SendCommand(u"$GetHSDishes=Хлеб<Str>Батон"_s);
        QTRY_COMPARE(c.server.rawRequests(0), "$GetDishTables" + kTerm +
                                                  "$GetHSDishes=\xD5\xEB\xE5\xE1<Str>\xC1\xE0\xF2\xEE\xED" +
                                                  kTerm);
        // A broken message is forgotten on request, so the next one stands alone.
        c.send("$BB=half of a cata");
        QTRY_COMPARE(c.session.bufferedBytes(), qsizetype(18));
        c.session.clearBuffer();
        QCOMPARE(c.session.bufferedBytes(), qsizetype(0));
        c.send("$Dishes=x" + kTerm);
        QTRY_COMPARE(c.log.calls.last(), u"form_Dishes_Bl:x"_s);
        QCOMPARE(dialogs.boxes().size(), 1);
    }

    // A handler that "shows a modal box" runs the event loop: what arrives
    // meanwhile, or is announced again, is only buffered, and handed on after
    // it, each message once; the peer's last words before its close are kept.
    void nestedEventLoopOnlyBuffers()
    {
        ScriptedDialogs dialogs;
        Connected c;
        QVERIFY(c.open());
        QSignalSpy closed(c.socket, &ClientSocket::Closed);
        QStringList seenInside;
        c.log.onCall = [&](const QString& call) {
            if (call != u"form_Bases_Bl:first"_s)
                return;
            emit c.socket->DataArrival();
            emit c.socket->DataArrival();
            seenInside = c.log.calls;
            // More arrives, a terminator cut in two among it, then the close.
            c.send("$Dishes=during" + kTerm + "$Dishes=tail<");
            QTest::qWait(300);
            c.send("\xA5>$Dishes=last" + kTerm);
            c.server.close(0);
            (void)QTest::qWaitFor([&] { return closed.count() > 0; }, 5000);
        };
        // Nothing is sent after the nested loop: a message left waiting in the
        // socket would never be handed on, since no later arrival announces it.
        c.send("$BB=first" + kTerm + "$Dishes=queued" + kTerm);
        QTRY_COMPARE(c.log.calls, (QStringList{u"form_Bases_Bl:first"_s, u"form_Dishes_Bl:queued"_s,
                                               u"form_Dishes_Bl:during"_s, u"form_Dishes_Bl:tail"_s,
                                               u"form_Dishes_Bl:last"_s}));
        QCOMPARE(seenInside, QStringList{u"form_Bases_Bl:first"_s});
        QTest::qWait(100);
        QCOMPARE(c.log.calls.size(), 5);
        QCOMPARE(c.session.bufferedBytes(), qsizetype(0));
        QCOMPARE(closed.count(), 1);
    }

    void floodWithoutTerminatorDropsTheConnection_data()
    {
        QTest::addColumn<qsizetype>("bound");
        QTest::newRow("64 KiB") << qsizetype(64 * 1024);
        QTest::newRow("the real bound") << MessageSplitter::kDefaultMaxPendingBytes;
    }
    void floodWithoutTerminatorDropsTheConnection()
    {
        QFETCH(qsizetype, bound);
        ScriptedDialogs dialogs;
        dialogs.expectBox(); // "$Mess=" sent before the flood
        dialogs.expectBox(); // the flood
        Connected c(bound);
        QVERIFY(c.open());
        QSignalSpy dropped(&c.session, &ServerSession::connectionDropped);
        QSignalSpy closed(c.socket, &ClientSocket::Closed);
        c.send("$Mess=before" + kTerm + "$BB=" + QByteArray(bound + 1000, 'x'));
        QTRY_COMPARE_WITH_TIMEOUT(dropped.count(), 1, 60000);
        QCOMPARE(dialogs.boxTexts(), (QStringList{u"before"_s, ServerSession::overflowText(bound)}));
        QCOMPARE(dialogs.boxes().last().icon, Dialogs::Icon::Critical);
        QVERIFY(ServerSession::overflowText(64 * 1024).contains(u"65536 байт"_s));
        QVERIFY(ServerSession::overflowText(MessageSplitter::kDefaultMaxPendingBytes).contains(u"64 МБ"_s));
        QCOMPARE(c.socket->State(), int(ClientSocket::sckClosed));
        QCOMPARE(c.session.bufferedBytes(), qsizetype(0));
        QVERIFY(c.log.calls.isEmpty());
        // The server sees the connection end; the program hears no close of its own.
        QTRY_COMPARE(c.server.closedCount(), 1);
        QTest::qWait(100);
        QCOMPARE(closed.count(), 0);
        QCOMPARE(dropped.count(), 1);
        // Connected again, the session starts clean.
        QVERIFY(c.open());
        QTRY_COMPARE(c.server.connectionCount(), 2);
        c.server.sendBytes(1, "$Dishes=again" + kTerm);
        QTRY_COMPARE(c.log.calls, QStringList{u"form_Dishes_Bl:again"_s});
    }

    void escapedHandlerErrorIsReportedAndTheNextMessageHandled()
    {
        ScriptedDialogs dialogs;
        dialogs.expectBox();
        Connected c;
        QVERIFY(c.open());
        c.log.onCall = [](const QString& call) {
            if (call == u"form_Bases_Bl:bad"_s)
                throw std::runtime_error("bad catalogue");
        };
        c.send("$BB=bad" + kTerm + "$Dishes=ok" + kTerm);
        QTRY_COMPARE(c.log.calls, (QStringList{u"form_Bases_Bl:bad"_s, u"form_Dishes_Bl:ok"_s}));
        QCOMPARE(dialogs.boxTexts(), QStringList{u"bad catalogue\rDish_Cli\rParseServerCommand\rКод: 0"_s});
    }

    // However much is buffered, one pass holds the event loop only for its
    // slice; the rest follows on later turns, in order, each message once.
    void longRunIsHandedOverInSlices()
    {
        auto* socket = new FakeSocket;
        ServerSession session(socket);
        constexpr int count = 300000;
        socket->queued = HostileServer::flood("$u%1", count);
        emit socket->DataArrival();
        const QString afterOnePass = session.statusLog().text();
        QVERIFY(afterOnePass.size() > StatusLog::initialText().size());
        QVERIFY(!afterOnePass.endsWith(u"$u%1"_s.arg(count - 1)));
        emit socket->DataArrival(); // waits for the pass already queued, not one more beside it
        QCOMPARE(session.statusLog().text(), afterOnePass);
        // Generous: a sanitizer build on a busy machine takes many times longer.
        QTRY_VERIFY_WITH_TIMEOUT(session.statusLog().text().endsWith(u"$u%1"_s.arg(count - 1)), 120000);
        QVERIFY(unknownLinesInOrder(session.statusLog().text(), count - 1) > 1000);
        QCOMPARE(session.bufferedBytes(), qsizetype(0));
    }

    // Over a real socket: a flood of unknown messages, a "$Mess=" of a megabyte
    // and a reply behind them all. The log box shows the log; the box shows the
    // start of the text; the reply is handled.
    void hostileServerFloodsAndSendsAHugeMess()
    {
        HostileServer hostile(HostileServer::flood("$u%1", 100000) + "$Mess=" +
                              QByteArray("line of text\r\n").repeated(80000) + "<\xA5>$Dishes=end<\xA5>");
        ScriptedDialogs dialogs;
        dialogs.expectBox();
        auto* socket = new TcpClientSocket;
        ServerSession session(socket);
        Recorder log;
        session.setReplyTarget(&log);
        QPlainTextEdit edit;
        PlainTextStatusBox box(&edit);
        session.setStatusBox(&box);
        socket->Connect(u"127.0.0.1"_s, hostile.port());
        QTRY_COMPARE_WITH_TIMEOUT(log.calls, QStringList{u"form_Dishes_Bl:end"_s}, 30000);
        QCOMPARE(dialogs.boxes().size(), 1);
        QVERIFY(dialogs.boxTexts().first().startsWith(u"line of text\rline of text\r"_s));
        QVERIFY(dialogs.boxTexts().first().contains(u"не показано знаков — "_s));
        const QString text = session.statusLog().text();
        const QString logged = u"Сообщение сервера: "_s + u"line of text\r\n"_s.repeated(5000);
        QVERIFY(text.endsWith(u"\r\n"_s + logged.left(StatusLog::kMaxLineChars) + u"…"_s));
        QVERIFY(unknownLinesInOrder(text.left(text.lastIndexOf(u"\r\nСообщение сервера: "_s)), 99999) > 1000);
        QCOMPARE(edit.toPlainText(), PlainTextStatusBox::displayText(text));
    }
};

QTEST_MAIN(TestServerSession)
#include "TestServerSession.moc"
