#include "protocol/TcpClientSocket.h"

#include "protocol/Port.h"
#include "support/WirePeer.h"

#include <QHostAddress>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

const QString kLoopback = u"127.0.0.1"_s;

// Records every event of the socket in order.
struct EventLog
{
    explicit EventLog(ClientSocket& socket)
    {
        QObject::connect(&socket, &ClientSocket::Connected, [this] { events << u"connected"_s; });
        QObject::connect(&socket, &ClientSocket::Closed, [this] { events << u"closed"_s; });
        QObject::connect(&socket, &ClientSocket::DataArrival, [this] { events << u"data"_s; });
        QObject::connect(&socket, &ClientSocket::Error,
                         [this](int number, const QString&, bool*) { events << u"error %1"_s.arg(number); });
    }
    QStringList events;
};

bool connectTo(TcpClientSocket& socket, const WirePeer& server)
{
    QSignalSpy connected(&socket, &ClientSocket::Connected);
    socket.Connect(kLoopback, u" %1 "_s.arg(server.port())); // spaces around the port are trimmed
    return (connected.wait(10000) || connected.count() == 1) &&
           QTest::qWaitFor([&] { return server.client() != nullptr; });
}

int errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const SocketError& error) {
        return error.number;
    }
    return 0;
}

int sendError(ClientSocket& socket)
{
    return errorOf([&] { socket.SendData(u"$GetDishTables<Ґ>"_s); });
}

} // namespace

class TestTcpClientSocket : public QObject
{
    Q_OBJECT

private slots:

    // An orderly close, data in many pieces sent before it read first; a reset.
    void peerCloseIsOneClosedEventAndNoError()
    {
        for (const bool reset : {false, true}) {
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
            QTest::qWait(150); // an event that did not come
            log.events.removeDuplicates();
            const QStringList data = reset ? QStringList() : QStringList(u"data"_s);
            QCOMPARE(log.events, QStringList{u"connected"_s} + data + QStringList{u"closed"_s});
            QCOMPARE(received, sent);
            QCOMPARE(socket.State(), int(ClientSocket::sckClosing));
            QCOMPARE(sendError(socket), SocketError::kInvalidState);
            socket.Close();
            QCOMPARE(socket.State(), int(ClientSocket::sckClosed));
        }
    }

    void refusalIsError10061()
    {
        // Left in its error state until closed; reconnecting from the handler works.
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
        // A target Connect refuses at once (the port rule is portRule's table) raises no event.
        QCOMPARE(errorOf([&] { socket.Connect(u"  "_s, u"400"_s); }), SocketError::kInvalidArgument);
        QCOMPARE(errorOf([&] { socket.Connect(kLoopback, u"0"_s); }), SocketError::kInvalidArgument);
        QCOMPARE(sendError(socket), 40006);
        QTcpServer refusing; // bound, then freed
        refusing.listen(QHostAddress::LocalHost);
        const QString port = QString::number(refusing.serverPort());
        refusing.close();
        socket.Connect(kLoopback, port);
        QTRY_COMPARE(log.events, (QStringList{u"error 10061"_s, u"connected"_s}));
        QCOMPARE(inHandler, (QList<int>{ClientSocket::sckError, 40006, ClientSocket::sckClosed}));
        QCOMPARE(socket.State(), int(ClientSocket::sckConnected));
    }

    void portRule_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("port");
        const QList<std::pair<QString, int>> accepted{
            {u"400"_s, 400}, {u"1"_s, 1}, {u"65535"_s, 65535}, {u"00400"_s, 400}};
        for (const auto& [text, port] : accepted)
            QTest::addRow("'%s'", qPrintable(text)) << text << port;
        for (const QString& text : {u" 400 "_s, u"65536"_s, u"000400"_s, QString(), u"0"_s, u"-1"_s,
                                    u"+400"_s, u"٤٠٠"_s, u"99999999999999999999"_s, u"/"_s, u":"_s})
            QTest::addRow("'%s'", qPrintable(text)) << text << 0;
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
        QVERIFY(connectTo(socket, server));
        // In Windows-1251; what is sent just before a close still goes out.
        socket.SendData(u"$GetHSDishes=Хлеб<Str>Батон<Ґ>"_s);
        socket.SendData(u"$Mess=中<Ґ>"_s);
        socket.Close();
        QTRY_COMPARE(server.rawRequests(0),
                     "$GetHSDishes=\xD5\xEB\xE5\xE1<Str>\xC1\xE0\xF2\xEE\xED<\xA5>$Mess=?<\xA5>");
        QTRY_COMPARE(server.closedCount(), 1);             // the server sees the connection go...
        QTest::qWait(150);                                 // an event that did not come
        QCOMPARE(log.events, QStringList{u"connected"_s}); // ...the program hears nothing
        QCOMPARE(socket.State(), int(ClientSocket::sckClosed));
        QCOMPARE(sendError(socket), 40006);
        socket.Close(); // closing twice is harmless
        // A close while still connecting raises nothing either.
        socket.Connect(kLoopback, QString::number(server.port()));
        socket.Close();
        QTest::qWait(150); // an event that did not come
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
        QTest::qWait(150); // an event that did not come
        QCOMPARE(log.events, (QStringList{u"connected"_s, u"data"_s}));
        QCOMPARE(socket.State(), int(ClientSocket::sckClosed));
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
    }
    void mapsToolkitErrors()
    {
        QFETCH(int, error);
        QFETCH(bool, wasConnected);
        QTEST(TcpClientSocket::errorNumber(QAbstractSocket::SocketError(error), wasConnected), "number");
    }
};

QTEST_GUILESS_MAIN(TestTcpClientSocket)
#include "TestTcpClientSocket.moc"
