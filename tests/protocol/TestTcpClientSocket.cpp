#include "TcpClientSocket.h"

#include <QHostAddress>
#include <QPointer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using namespace std::chrono_literals;

namespace {

const QString kLoopback = u"127.0.0.1"_qs;

// A real server on the loopback that keeps the connections it accepts.
struct LoopbackServer
{
    QTcpServer server;
    QList<QPointer<QTcpSocket>> peers;

    LoopbackServer()
    {
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            while (auto* peer = server.nextPendingConnection())
                peers << peer;
        });
    }
    bool listen() { return server.listen(QHostAddress::LocalHost); }
    QString port() const { return QString::number(server.serverPort()); }
    QTcpSocket* peer() const { return peers.isEmpty() ? nullptr : peers.last().data(); }
};

// A port that refuses: bound once, then freed.
QString refusingPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost))
        return QString();
    const QString port = QString::number(probe.serverPort());
    probe.close();
    return port;
}

// Records every event of the socket in order.
struct EventLog
{
    QStringList events;
    QList<int> errorNumbers;
    bool cancelDisplay = true;

    explicit EventLog(ClientSocket& socket)
    {
        QObject::connect(&socket, &ClientSocket::Connected, [this] { events << u"connected"_qs; });
        QObject::connect(&socket, &ClientSocket::Closed, [this] { events << u"closed"_qs; });
        QObject::connect(&socket, &ClientSocket::DataArrival, [this] { events << u"data"_qs; });
        QObject::connect(&socket, &ClientSocket::Error,
                         [this](int number, const QString& description, bool* cancel) {
                             events << u"error %1"_qs.arg(number);
                             errorNumbers << number;
                             lastDescription = description;
                             if (cancel)
                                 *cancel = cancelDisplay;
                         });
    }
    QString lastDescription;
};

// Lets the event loop run until nothing more happens for a moment: used to
// show that an event did *not* come.
void settle()
{
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QTest::qWait(5);
    }
}

bool connectTo(TcpClientSocket& socket, LoopbackServer& server)
{
    QSignalSpy connected(&socket, &ClientSocket::Connected);
    socket.Connect(kLoopback, server.port());
    return connected.wait(10000) || connected.count() == 1;
}

} // namespace

class TestTcpClientSocket : public QObject
{
    Q_OBJECT

private slots:
    void peerCloseIsOneClosedEventAndNoError_data();
    void peerCloseIsOneClosedEventAndNoError();
    void dataSentBeforeThePeerClosedIsReadFirst();
    void refusalIsError10061();
    void invalidTargetFailsAtOnce_data();
    void invalidTargetFailsAtOnce();
    void parsesPorts_data();
    void parsesPorts();
    void sendWhileNotConnectedThrows40006_data();
    void sendWhileNotConnectedThrows40006();
    void sendsWindows1251();
    void dataInManyPieces();
    void closeRaisesNoEvent();
    void closeStillDeliversWhatWasSent();
    void closeFromInsideAnEventHandler();
    void reconnectFromInsideTheErrorHandler();
    void unansweredConnectTimesOutWith10060();
    void mapsToolkitErrors_data();
    void mapsToolkitErrors();
    void localIpIsAnAddress();
};

void TestTcpClientSocket::peerCloseIsOneClosedEventAndNoError_data()
{
    QTest::addColumn<bool>("reset");
    QTest::newRow("orderly close") << false;
    QTest::newRow("reset") << true;
}

void TestTcpClientSocket::peerCloseIsOneClosedEventAndNoError()
{
    QFETCH(bool, reset);
    LoopbackServer server;
    QVERIFY(server.listen());
    TcpClientSocket socket;
    EventLog log(socket);
    QVERIFY(connectTo(socket, server));
    QTRY_VERIFY(server.peer());
    if (reset)
        server.peer()->abort();
    else
        server.peer()->disconnectFromHost();
    QTRY_COMPARE(log.events, (QStringList{u"connected"_qs, u"closed"_qs}));
    settle();
    QCOMPARE(log.events, (QStringList{u"connected"_qs, u"closed"_qs}));
    QCOMPARE(socket.State(), int(ClientSocket::sckClosing));
    QVERIFY_THROWS_EXCEPTION(SocketError, socket.SendData(u"x"_qs));
    socket.Close();
    QCOMPARE(socket.State(), int(ClientSocket::sckClosed));
}

void TestTcpClientSocket::dataSentBeforeThePeerClosedIsReadFirst()
{
    LoopbackServer server;
    QVERIFY(server.listen());
    TcpClientSocket socket;
    QByteArray received;
    QStringList order;
    connect(&socket, &ClientSocket::DataArrival, this, [&] {
        received += socket.GetData();
        order << u"data"_qs;
    });
    connect(&socket, &ClientSocket::Closed, this, [&] { order << u"closed"_qs; });
    QVERIFY(connectTo(socket, server));
    QTRY_VERIFY(server.peer());
    server.peer()->write("last words\x3C\xA5\x3E");
    server.peer()->disconnectFromHost();
    QTRY_COMPARE(order.value(order.size() - 1), u"closed"_qs);
    QCOMPARE(received, QByteArray("last words\x3C\xA5\x3E"));
    QCOMPARE(order.count(u"closed"_qs), 1);
}

void TestTcpClientSocket::refusalIsError10061()
{
    const QString port = refusingPort();
    QVERIFY(!port.isEmpty());
    TcpClientSocket socket;
    EventLog log(socket);
    socket.Connect(kLoopback, port);
    QTRY_COMPARE(log.events, QStringList{u"error 10061"_qs});
    QVERIFY(!log.lastDescription.isEmpty());
    settle();
    QCOMPARE(log.events, QStringList{u"error 10061"_qs});
    // Left in its error state (not closed) until the program closes it.
    QCOMPARE(socket.State(), int(ClientSocket::sckError));
    socket.Close();
    QCOMPARE(socket.State(), int(ClientSocket::sckClosed));
}

void TestTcpClientSocket::invalidTargetFailsAtOnce_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("port");
    QTest::newRow("empty host") << QString() << u"400"_qs;
    QTest::newRow("blank host") << u"   "_qs << u"400"_qs;
    QTest::newRow("empty port") << kLoopback << QString();
    QTest::newRow("port zero") << kLoopback << u"0"_qs;
    QTest::newRow("port too big") << kLoopback << u"65536"_qs;
    QTest::newRow("port far too big") << kLoopback << u"99999999999999999999"_qs;
    QTest::newRow("negative port") << kLoopback << u"-1"_qs;
    QTest::newRow("signed port") << kLoopback << u"+400"_qs;
    QTest::newRow("fraction") << kLoopback << u"400,5"_qs;
    QTest::newRow("letters") << kLoopback << u"abc"_qs;
    QTest::newRow("hex") << kLoopback << u"0x190"_qs;
    QTest::newRow("inner blank") << kLoopback << u"4 00"_qs;
    QTest::newRow("arabic-indic digits") << kLoopback << u"٤٠٠"_qs;
}

void TestTcpClientSocket::invalidTargetFailsAtOnce()
{
    QFETCH(QString, host);
    QFETCH(QString, port);
    LoopbackServer server;
    QVERIFY(server.listen());
    TcpClientSocket socket;
    EventLog log(socket);
    try {
        socket.Connect(host, port);
        QFAIL("Connect did not fail");
    } catch (const SocketError& error) {
        QCOMPARE(error.number, SocketError::kInvalidArgument);
        QVERIFY(!error.description.isEmpty());
    }
    QCOMPARE(socket.State(), int(ClientSocket::sckClosed));
    settle();
    QVERIFY(log.events.isEmpty());
    QVERIFY(server.peers.isEmpty());
}

void TestTcpClientSocket::parsesPorts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("port");
    QTest::newRow("400") << u"400"_qs << 400;
    QTest::newRow("1") << u"1"_qs << 1;
    QTest::newRow("65535") << u"65535"_qs << 65535;
    QTest::newRow("blanks around") << u" 400 "_qs << 400;
    QTest::newRow("leading zeros") << u"00400"_qs << 400;
    QTest::newRow("65536") << u"65536"_qs << 0;
    QTest::newRow("six digits") << u"000400"_qs << 0;
    QTest::newRow("empty") << QString() << 0;
}

void TestTcpClientSocket::parsesPorts()
{
    QFETCH(QString, text);
    QFETCH(int, port);
    QCOMPARE(int(TcpClientSocket::parsePort(text)), port);
}

void TestTcpClientSocket::sendWhileNotConnectedThrows40006_data()
{
    QTest::addColumn<QString>("stage");
    QTest::newRow("never opened") << u"new"_qs;
    QTest::newRow("closed") << u"closed"_qs;
    QTest::newRow("refused") << u"refused"_qs;
}

void TestTcpClientSocket::sendWhileNotConnectedThrows40006()
{
    QFETCH(QString, stage);
    LoopbackServer server;
    QVERIFY(server.listen());
    TcpClientSocket socket;
    if (stage == u"closed"_qs) {
        QVERIFY(connectTo(socket, server));
        socket.Close();
    } else if (stage == u"refused"_qs) {
        QSignalSpy errors(&socket, &ClientSocket::Error);
        socket.Connect(kLoopback, refusingPort());
        QVERIFY(errors.wait());
    }
    try {
        socket.SendData(u"$GetDishTables<Ґ>"_qs);
        QFAIL("SendData did not fail");
    } catch (const SocketError& error) {
        QCOMPARE(error.number, 40006);
    }
}

void TestTcpClientSocket::sendsWindows1251()
{
    LoopbackServer server;
    QVERIFY(server.listen());
    TcpClientSocket socket;
    QVERIFY(connectTo(socket, server));
    QTRY_VERIFY(server.peer());
    socket.SendData(u"$GetHSDishes=Хлеб<Str>Батон<Ґ>"_qs);
    socket.SendData(u"$Mess=中<Ґ>"_qs);
    const QByteArray expected =
        QByteArray("$GetHSDishes=\xD5\xEB\xE5\xE1<Str>\xC1\xE0\xF2\xEE\xED\x3C\xA5\x3E") +
        QByteArray("$Mess=?\x3C\xA5\x3E");
    QByteArray got;
    QTRY_VERIFY((got += server.peer()->readAll()).size() >= expected.size());
    QCOMPARE(got, expected);
}

void TestTcpClientSocket::dataInManyPieces()
{
    LoopbackServer server;
    QVERIFY(server.listen());
    TcpClientSocket socket;
    QByteArray received;
    int arrivals = 0;
    connect(&socket, &ClientSocket::DataArrival, this, [&] {
        ++arrivals;
        received += socket.GetData();
    });
    QVERIFY(connectTo(socket, server));
    QTRY_VERIFY(server.peer());
    QByteArray sent;
    for (int i = 0; i < 200; ++i) {
        const QByteArray piece = "$Dishes=" + QByteArray::number(i) + "\x3C\xA5";
        sent += piece;
        server.peer()->write(piece);
        server.peer()->flush();
        if (i % 20 == 0)
            QTest::qWait(2);
    }
    QTRY_COMPARE(received.size(), sent.size());
    QCOMPARE(received, sent);
    QVERIFY(arrivals >= 2);
    QCOMPARE(socket.GetText(), QString());
}

void TestTcpClientSocket::closeRaisesNoEvent()
{
    LoopbackServer server;
    QVERIFY(server.listen());
    TcpClientSocket socket;
    EventLog log(socket);
    QCOMPARE(socket.State(), int(ClientSocket::sckClosed));
    QVERIFY(connectTo(socket, server));
    QCOMPARE(socket.State(), int(ClientSocket::sckConnected));
    QTRY_VERIFY(server.peer());
    socket.Close();
    // The server sees the connection go...
    QTRY_VERIFY(!server.peer() || server.peer()->state() != QAbstractSocket::ConnectedState);
    settle();
    // ...and the program hears nothing about it.
    QCOMPARE(log.events, QStringList{u"connected"_qs});
    QCOMPARE(socket.State(), int(ClientSocket::sckClosed));
    socket.Close(); // closing twice is harmless
    // A close while still connecting raises nothing either.
    socket.Connect(kLoopback, server.port());
    socket.Close();
    settle();
    QCOMPARE(log.events, QStringList{u"connected"_qs});
}

void TestTcpClientSocket::closeStillDeliversWhatWasSent()
{
    LoopbackServer server;
    QVERIFY(server.listen());
    TcpClientSocket socket;
    QVERIFY(connectTo(socket, server));
    QTRY_VERIFY(server.peer());
    QPointer<QTcpSocket> peer = server.peer();
    socket.SendData(u"$Mess=bye<Ґ>"_qs);
    socket.Close();
    QByteArray got;
    QTRY_VERIFY(peer && (got += peer->readAll()).size() >= 9);
    QCOMPARE(got, QByteArray("$Mess=bye\x3C\xA5\x3E"));
}

void TestTcpClientSocket::closeFromInsideAnEventHandler()
{
    LoopbackServer server;
    QVERIFY(server.listen());
    TcpClientSocket socket;
    int arrivals = 0;
    connect(&socket, &ClientSocket::DataArrival, this, [&] {
        ++arrivals;
        socket.GetData();
        socket.Close(); // the socket that is emitting must survive this
    });
    EventLog log(socket);
    QVERIFY(connectTo(socket, server));
    QTRY_VERIFY(server.peer());
    server.peer()->write("x");
    server.peer()->disconnectFromHost();
    QTRY_COMPARE(arrivals, 1);
    settle();
    QCOMPARE(log.events, (QStringList{u"connected"_qs, u"data"_qs}));
    QCOMPARE(socket.State(), int(ClientSocket::sckClosed));
}

void TestTcpClientSocket::reconnectFromInsideTheErrorHandler()
{
    LoopbackServer server;
    QVERIFY(server.listen());
    const QString refused = refusingPort();
    TcpClientSocket socket;
    EventLog log(socket);
    connect(&socket, &ClientSocket::Error, this, [&](int, const QString&, bool*) {
        socket.Close();
        socket.Connect(kLoopback, server.port());
    });
    socket.Connect(kLoopback, refused);
    QTRY_COMPARE(log.events, (QStringList{u"error 10061"_qs, u"connected"_qs}));
    QCOMPARE(socket.State(), int(ClientSocket::sckConnected));
}

void TestTcpClientSocket::unansweredConnectTimesOutWith10060()
{
    // A listener with a backlog of 0 that accepts nothing: once one
    // connection waits in its queue, the system drops further attempts
    // unanswered, as an address that never replies would.
    QTcpServer silent;
    silent.setListenBacklogSize(0);
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    silent.pauseAccepting();
    QList<QTcpSocket*> fillers;
    for (int i = 0; i < 4; ++i) {
        auto* filler = new QTcpSocket(this);
        filler->connectToHost(QHostAddress::LocalHost, silent.serverPort());
        fillers << filler;
    }
    QTest::qWait(200);
    TcpClientSocket socket;
    socket.setConnectTimeout(300ms);
    EventLog log(socket);
    socket.Connect(kLoopback, QString::number(silent.serverPort()));
    QTRY_VERIFY_WITH_TIMEOUT(!log.events.isEmpty(), 10000);
    if (log.events.first() == u"connected"_qs)
        QSKIP("this system accepted past a full backlog; no unanswered address on the loopback");
    QCOMPARE(log.events, QStringList{u"error 10060"_qs});
    QCOMPARE(socket.State(), int(ClientSocket::sckError));
    settle();
    QCOMPARE(log.events, QStringList{u"error 10060"_qs});
    qDeleteAll(fillers);
}

void TestTcpClientSocket::mapsToolkitErrors_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<bool>("wasConnected");
    QTest::addColumn<int>("number");
    QTest::newRow("refused") << int(QAbstractSocket::ConnectionRefusedError) << false << 10061;
    QTest::newRow("timed out") << int(QAbstractSocket::SocketTimeoutError) << false << 10060;
    QTest::newRow("host not found") << int(QAbstractSocket::HostNotFoundError) << false << 11001;
    QTest::newRow("closed while connecting") << int(QAbstractSocket::RemoteHostClosedError) << false << 10053;
    QTest::newRow("established connection lost") << int(QAbstractSocket::NetworkError) << true << 10053;
    QTest::newRow("network down") << int(QAbstractSocket::NetworkError) << false << 10050;
    QTest::newRow("address in use") << int(QAbstractSocket::AddressInUseError) << false << 10048;
    QTest::newRow("unknown") << int(QAbstractSocket::UnknownSocketError) << false << 41999;
    QTest::newRow("operation") << int(QAbstractSocket::OperationError) << false
                               << 41000 + int(QAbstractSocket::OperationError);
    QTest::newRow("proxy refused") << int(QAbstractSocket::ProxyConnectionRefusedError) << false
                                   << 41000 + int(QAbstractSocket::ProxyConnectionRefusedError);
}

void TestTcpClientSocket::mapsToolkitErrors()
{
    QFETCH(int, error);
    QFETCH(bool, wasConnected);
    QFETCH(int, number);
    QCOMPARE(TcpClientSocket::errorNumber(QAbstractSocket::SocketError(error), wasConnected), number);
}

void TestTcpClientSocket::localIpIsAnAddress()
{
    TcpClientSocket socket;
    const QHostAddress address(socket.LocalIP());
    QVERIFY(!address.isNull());
    QCOMPARE(address.protocol(), QAbstractSocket::IPv4Protocol);
}

QTEST_GUILESS_MAIN(TestTcpClientSocket)
#include "TestTcpClientSocket.moc"
