#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>

class QTcpSocket;

// The server's side of the wire for window tests: a real QTcpServer on
// 127.0.0.1 at a free port that records every message the client sends, cut
// at the terminator and decoded from Windows-1251. Given an upstream port it
// is a recording proxy instead: each client connection is forwarded to
// 127.0.0.1:upstream and the server's messages are recorded too.
class WirePeer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WirePeer)

public:
    explicit WirePeer(quint16 upstreamPort = 0, QObject* parent = nullptr);
    ~WirePeer() override;

    bool isListening() const { return m_server.isListening(); }
    quint16 port() const { return m_server.serverPort(); }

    // Client connections accepted so far, oldest first.
    int connectionCount() const { return int(m_connections.size()); }
    bool isOpen(int connection) const;
    // Messages the client sent, in arrival order (all connections, or one).
    QStringList requests() const;
    QStringList requestsOf(int connection) const;
    // Bytes the client sent on a connection, as received.
    QByteArray rawRequestsOf(int connection) const;
    // Messages the upstream server sent (proxy only), in arrival order.
    QStringList replies() const { return m_replies; }

    // Writes `text` encoded as Windows-1251, exactly as given (no terminator
    // is added), to a client connection.
    void send(int connection, const QString& text);
    // Closes a client connection from the server's side.
    void close(int connection);

signals:
    void requestReceived(const QString& message);
    void connectionClosed(int connection);

private:
    struct Connection
    {
        QPointer<QTcpSocket> client;
        QPointer<QTcpSocket> upstream;
        QByteArray fromClient;   // everything received
        qsizetype clientCut = 0; // start of the message not yet ended
        QByteArray fromUpstream;
        qsizetype upstreamCut = 0;
        QStringList requests;
        bool open = true;
    };

    void onNewConnection();
    static QStringList takeMessages(const QByteArray& bytes, qsizetype& cut);

    QTcpServer m_server;
    quint16 m_upstreamPort;
    QList<Connection*> m_connections;
    QStringList m_requests;
    QStringList m_replies;
};
