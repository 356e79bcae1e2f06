#include "protocol/TcpClientSocket.h"

#include "protocol/Port.h"
#include "support/SilentPort.h"
#include "support/WirePeer.h"

#include <QHostAddress>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

const QString kLoopback = u"127.0.0.1"_s;

// A port that refuses: bound once, then freed.
QString refusingPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return QString::number(probe.serverPort());
}

// Records every event of the socket in order.
struct EventLog
{
    explicit EventLog(ClientSocket& socket)
    {
        QObject::connect(&socket, &ClientSocket::Connected, [this] { events << u"connected"_s; });
        QObject::connect(&socket, &ClientSocket::Closed, [this] { events << u"closed"_s; });
        QObject::connect(&socket, &ClientSocket::DataArrival, [this] { events << u"data"_s; });
        QObject::connect(&socket, &ClientSocket::Error,
                         [this](int number, const QString& text, bool* cancel) {
                             events << u"error %1"_s.arg(number);
                             description = text;
                             if (cancel)
                                 *cancel = true;
                         });
    }
    QStringList events;
    QString description;
};

// Lets the event loop run for a moment: used to show that an event did *not* come.
void settle()
{
    QTest::qWait(150);
}

bool connectTo(TcpClientSocket& socket, const WirePeer& server)
{
    QSignalSpy connected(&socket, &ClientSocket::Connected);
    socket.Connect(kLoopback, u" %1 "_s.arg(server.port())); // spaces around the port are trimmed
    return (connected.wait(10000) || connected.count() == 1) &&
           QTest::qWaitFor([&] { return server.client() != nullptr; });
}

int sendError(ClientSocket& socket)
{
    try {
        socket.SendData(u"$GetDishTables<Ґ>"_s);
    } catch (const SocketError& error) {
        return error.number;
    }
    return 0;
}

} // namespace

class TestTcpClientSocket : public QObject
{
    Q_OBJECT

private slots:

    void peerCloseIsOneClosedEventAndNoError_data()
    {
        QTest::addColumn<bool>("reset");
        QTest::newRow("orderly close, data in many pieces sent before it read first") << false;
        QTest::newRow("reset") << true;
    }
    void peerCloseIsOneClosedEventAndNoError()
    {
        QFETCH(bool, reset);
        WirePeer server;
        TcpClientSocket socket;
        EventLog log(socket);
        QByteArray received;
        connect(&socket, &ClientSocket::DataArrival, this, [&] { received += socket.GetData(); });
        QVERIFY(connectTo(socket, server));
        QByteArray sent;
        for (int i = 0; !reset && i < 200; ++i) {
            const QByteArray piece = "$Dishes=" + QByteArray::number(i) + "<\xA5>";
            sent += piece;
            server.sendBytes(0, piece);
            if (i % 20 == 0)
                QTest::qWait(2);
        }
        if (reset)
            server.client()->abort();
        else
            server.close(0);
        QTRY_COMPARE(log.events.value(log.events.size() - 1), u"closed"_s);
        settle();
        log.events.removeDuplicates();
        const QStringList data = reset ? QStringList() : QStringList(u"data"_s);
        QCOMPARE(log.events, QStringList{u"connected"_s} + data + QStringList{u"closed"_s});
        QCOMPARE(received, sent);
        QCOMPARE(socket.State(), int(ClientSocket::sckClosing));
        QCOMPARE(sendError(socket), SocketError::kInvalidState);
        socket.Close();
        QCOMPARE(socket.State(), int(ClientSocket::sckClosed));
    }

    void refusalIsError10061()
    {
        // Left in its error state until the program closes it; reconnecting from
        // inside the handler works.
        WirePeer server;
        TcpClientSocket socket;
        EventLog log(socket);
        QList<int> inHandler;
        connect(&socket, &ClientSocket::Error, this, [&](int, const QString&, bool*) {
            inHandler << socket.State() << sendError(socket);
            socket.Close();
            inHandler << socket.State();
            socket.Connect(kLoopback, QString::number(server.port()));
        });
        socket.Connect(kLoopback, refusingPort());
        QTRY_COMPARE(log.events, (QStringList{u"error 10061"_s, u"connected"_s}));
        QVERIFY(!log.description.isEmpty());
        QCOMPARE(inHandler, (QList<int>{ClientSocket::sckError, 40006, ClientSocket::sckClosed}));
        QCOMPARE(socket.State(), int(ClientSocket::sckConnected));
    }

    void invalidTargetFailsAtOnce_data()
    {
        // The port rule itself is portRule's table; these show Connect applies it.
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("port");
        QTest::newRow("empty host") << QString() << u"400"_s;
        QTest::newRow("blank host") << u"   "_s << u"400"_s;
        QTest::newRow("port zero") << kLoopback << u"0"_s;
        QTest::newRow("port too big") << kLoopback << u"65536"_s;
        QTest::newRow("letters") << kLoopback << u"abc"_s;
    }
    void invalidTargetFailsAtOnce()
    {
        QFETCH(QString, host);
        QFETCH(QString, port);
        WirePeer server;
        TcpClientSocket socket;
        EventLog log(socket);
        int number = 0;
        try {
            socket.Connect(host, port);
        } catch (const SocketError& error) {
            number = error.number;
            QVERIFY(!error.description.isEmpty());
        }
        QCOMPARE(number, SocketError::kInvalidArgument);
        QCOMPARE(socket.State(), int(ClientSocket::sckClosed));
        QCOMPARE(sendError(socket), 40006); // never opened
        settle();
        QVERIFY(log.events.isEmpty());
        QCOMPARE(server.connectionCount(), 0);
    }

    void portRule_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("port");
        const QList<std::pair<QString, int>> rows{
            {u"400"_s, 400},   {u"1"_s, 1},     {u"65535"_s, 65535}, {u" 400 "_s, 0},
            {u"00400"_s, 400}, {u"65536"_s, 0}, {u"000400"_s, 0},    {QString(), 0},
            {u"0"_s, 0},       {u"-1"_s, 0},    {u"+400"_s, 0},      {u"400,5"_s, 0},
            {u"0x190"_s, 0},   {u"4 00"_s, 0},  {u"٤٠٠"_s, 0},       {u"99999999999999999999"_s, 0},
            {u"abc"_s, 0},     {u"99999"_s, 0}, {u"/"_s, 0},         {u":"_s, 0}};
        for (const auto& [text, port] : rows)
            QTest::addRow("'%s'", qPrintable(text)) << text << port;
    }
    void portRule()
    {
        QFETCH(QString, text);
        QTEST(int(Port::parse(text)), "port");
    }

    void closeRaisesNoEvent()
    {
        WirePeer server;
        TcpClientSocket socket;
        EventLog log(socket);
        QCOMPARE(socket.State(), int(ClientSocket::sckClosed));
        QVERIFY(connectTo(socket, server));
        QCOMPARE(socket.State(), int(ClientSocket::sckConnected));
        // In Windows-1251; what is sent just before a close still goes out.
        socket.SendData(u"$GetHSDishes=Хлеб<Str>Батон<Ґ>"_s);
        socket.SendData(u"$Mess=中<Ґ>"_s);
        socket.Close();
        QTRY_COMPARE(server.rawRequests(0),
                     "$GetHSDishes=\xD5\xEB\xE5\xE1<Str>\xC1\xE0\xF2\xEE\xED<\xA5>$Mess=?<\xA5>");
        QTRY_COMPARE(server.closedCount(), 1); // the server sees the connection go...
        settle();
        QCOMPARE(log.events, QStringList{u"connected"_s}); // ...the program hears nothing
        QCOMPARE(socket.State(), int(ClientSocket::sckClosed));
        QCOMPARE(sendError(socket), 40006);
        socket.Close(); // closing twice is harmless
        // A close while still connecting raises nothing either.
        socket.Connect(kLoopback, QString::number(server.port()));
        socket.Close();
        settle();
        QCOMPARE(log.events, QStringList{u"connected"_s});
    }

    void closeFromInsideAnEventHandler()
    {
        WirePeer server;
        TcpClientSocket socket;
        connect(&socket, &ClientSocket::DataArrival, this, [&] {
            socket.GetData();
            socket.Close(); // the socket that is emitting must survive this
        });
        EventLog log(socket);
        QVERIFY(connectTo(socket, server));
        server.sendBytes(0, "x");
        server.close(0);
        QTRY_COMPARE(log.events, (QStringList{u"connected"_s, u"data"_s}));
        settle();
        QCOMPARE(log.events, (QStringList{u"connected"_s, u"data"_s}));
        QCOMPARE(socket.State(), int(ClientSocket::sckClosed));
    }

    void unansweredConnectTimesOutWith10060()
    {
        SilentPort silent;
        TcpClientSocket socket;
        socket.setConnectTimeout(300ms);
        EventLog log(socket);
        socket.Connect(kLoopback, silent.port());
        QTRY_VERIFY_WITH_TIMEOUT(!log.events.isEmpty(), 10000);
        if (log.events.first() == u"connected"_s)
            QSKIP("this system accepted past a full backlog; no unanswered address on the loopback");
        settle();
        QCOMPARE(log.events, QStringList{u"error 10060"_s});
        QCOMPARE(socket.State(), int(ClientSocket::sckError));
    }

    void mapsToolkitErrors_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<bool>("wasConnected");
        QTest::addColumn<int>("number");
        using S = QAbstractSocket;
        QTest::newRow("refused") << int(S::ConnectionRefusedError) << false << 10061;
        QTest::newRow("timed out") << int(S::SocketTimeoutError) << false << 10060;
        QTest::newRow("host not found") << int(S::HostNotFoundError) << false << 11001;
        QTest::newRow("closed while connecting") << int(S::RemoteHostClosedError) << false << 10053;
        QTest::newRow("established connection lost") << int(S::NetworkError) << true << 10053;
        QTest::newRow("network down") << int(S::NetworkError) << false << 10050;
        QTest::newRow("address in use") << int(S::AddressInUseError) << false << 10048;
        QTest::newRow("unknown") << int(S::UnknownSocketError) << false << 41999;
        QTest::newRow("operation") << int(S::OperationError) << false << 41000 + int(S::OperationError);
        QTest::newRow("proxy refused")
            << int(S::ProxyConnectionRefusedError) << false << 41000 + int(S::ProxyConnectionRefusedError);
    }
    void mapsToolkitErrors()
    {
        QFETCH(int, error);
        QFETCH(bool, wasConnected);
        QTEST(TcpClientSocket::errorNumber(QAbstractSocket::SocketError(error), wasConnected), "number");
        // The local address shown by "Локально" is a plain IPv4 address.
        QCOMPARE(QHostAddress(TcpClientSocket().LocalIP()).protocol(), QAbstractSocket::IPv4Protocol);
    }
};

QTEST_GUILESS_MAIN(TestTcpClientSocket)
#include "TestTcpClientSocket.moc"
