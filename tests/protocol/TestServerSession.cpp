#include "protocol/ServerSession.h"

#include "common/Dialogs.h"
#include "protocol/TcpClientSocket.h"
#include "support/RecordingLink.h"
#include "support/ScriptedDialogs.h"
#include "support/WirePeer.h"

#include <QSignalSpy>
#include <QTest>

#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

const QByteArray kTerm("<\xA5>");

// The session over a real socket to a loopback server, its payloads recorded.
struct Connected
{
    WirePeer server;
    TcpClientSocket* socket = new TcpClientSocket;
    ServerSession session;
    RecordingLink log;

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

// Hands over a long run at once, or fails a send other than "not connected".
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

} // namespace

class TestServerSession : public QObject
{
    Q_OBJECT

private slots:
    // A send that fails, or one on a connection closed before; the box's form is Show_Error's.
    void failedSendShowsABox()
    {
        const QString lost =
            u"Потеряно подключение к серверу\rповторите попытку подключения\rВозможно сервер занят"_s;
        const QString reset =
            u"Ошибка отправки запроса!\rConnection reset by peer\rDish_Cli\rSendCommand\rКод: 10054"_s;
        for (const bool failing : {false, true}) {
            ScriptedDialogs dialogs;
            dialogs.expectBox();
            Connected c;
            QVERIFY(c.open());
            c.socket->Close();
            auto* broken = new FakeSocket;
            broken->failSends = true;
            ServerSession failingSession(broken);
            ServerSession& session = failing ? failingSession : c.session;
            session.SendCommand(u"$Get_Man_Norm"_s);
            QCOMPARE(dialogs.boxTexts(), QStringList{failing ? reset : lost});
            // A connection closed before stays closed: a failed send reconnects nothing.
            QCOMPARE(c.socket->State(), int(ClientSocket::sckClosed));
            QCOMPARE(c.server.connectionCount(), 1);
            QCOMPARE(session.statusLog().text(), StatusLog::initialText());
        }
    }

    void routesRepliesCutIntoPieces()
    {
        ScriptedDialogs dialogs;
        dialogs.expectBox();
        Connected c;
        QVERIFY(c.open());
        const QByteArray stream = "$BB=\xD5\xEB\xE5\xE1<TB>1<EB>" + kTerm + "$Dishes=a<BL>b" + kTerm + kTerm +
                                  "$mess=hello" + kTerm + "$Man_Norm=n" + kTerm;
        // In two pieces, a terminator cut; the splitter's own tests cut it every way.
        c.send(stream.left(18));
        QTest::qWait(1);
        c.send(stream.mid(18));
        const QStringList expected{u"form_Bases_Bl:Хлеб<TB>1<EB>"_s, u"form_Dishes_Bl:a<BL>b"_s,
                                   u"receiveNorm:n"_s};
        QTRY_COMPARE(c.log.calls, expected);
        QCOMPARE(dialogs.boxTexts(), QStringList{u"hello"_s});
        QCOMPARE(c.session.statusLog().text(),
                 StatusLog::initialText() + u"\r\nНеизвестная команда сервера: "_s);
        // Requests go out framed, with no box.
        c.session.SendCommand(u"$GetDishTables"_s);
        c.session.SendCommand(u"$GetHSDishes=Хлеб"_s);
        QTRY_COMPARE(c.server.rawRequests(0),
                     "$GetDishTables" + kTerm + "$GetHSDishes=\xD5\xEB\xE5\xE1" + kTerm);
    }

    // A handler's modal box runs the event loop: what arrives meanwhile is only buffered,
    // and handed on after it, each message once; the peer's last words are kept.
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
        // Nothing is sent after the nested loop: no later arrival announces what waits.
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

    void floodWithoutTerminatorDropsTheConnection()
    {
        const qsizetype bound = 64 * 1024;
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

    // One pass holds the event loop for a slice; the rest follows, in order, each once, across a reconnect.
    void longRunIsHandedOverInSlices()
    {
        ScriptedDialogs dialogs; // no box: "half" is not glued to the next connection's "$u"
        auto* socket = new FakeSocket;
        ServerSession session(socket);
        constexpr int count = 300000;
        for (int i = 0; i < count; ++i)
            socket->queued += "$u" + QByteArray::number(i) + kTerm;
        socket->queued += "$Mess=half";
        emit socket->DataArrival();
        const QString afterOnePass = session.statusLog().text();
        QVERIFY(afterOnePass.size() > StatusLog::initialText().size());
        QVERIFY(!afterOnePass.endsWith(u"$u%1"_s.arg(count - 1)));
        emit socket->DataArrival(); // waits for the pass already queued, not one more beside it
        QCOMPARE(session.statusLog().text(), afterOnePass);
        session.dropIncompleteMessage();
        socket->queued = "$u" + kTerm; // the next connection's first message
        // Generous: a sanitizer build on a busy machine takes many times longer.
        QTRY_VERIFY_WITH_TIMEOUT(session.statusLog().text().endsWith(u": $u"_s), 120000);
        QString tail; // the newest lines the log holds, in order, each once
        for (int i = count - 1000; i < count; ++i)
            tail += u"\r\nНеизвестная команда сервера: $u%1"_s.arg(i);
        tail += u"\r\nНеизвестная команда сервера: $u"_s;
        QVERIFY(session.statusLog().text().endsWith(tail));
        QCOMPARE(session.bufferedBytes(), qsizetype(0));
    }
};

QTEST_MAIN(TestServerSession)
#include "TestServerSession.moc"
