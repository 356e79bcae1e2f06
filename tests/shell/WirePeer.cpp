#include "WirePeer.h"

#include "Cp1251.h"
#include "ProtocolWords.h"

#include <QTcpSocket>

WirePeer::WirePeer(quint16 upstreamPort, QObject* parent) : QObject(parent), m_upstreamPort(upstreamPort)
{
    connect(&m_server, &QTcpServer::newConnection, this, &WirePeer::onNewConnection);
    m_server.listen(QHostAddress::LocalHost, 0);
}

WirePeer::~WirePeer()
{
    for (Connection* connection : std::as_const(m_connections)) {
        if (connection->client)
            connection->client->disconnect(this);
        if (connection->upstream)
            connection->upstream->disconnect(this);
        delete connection;
    }
}

bool WirePeer::isOpen(int connection) const
{
    return m_connections.value(connection) && m_connections[connection]->open;
}

QStringList WirePeer::requests() const
{
    return m_requests;
}

QStringList WirePeer::requestsOf(int connection) const
{
    return connection < m_connections.size() ? m_connections[connection]->requests : QStringList();
}

QByteArray WirePeer::rawRequestsOf(int connection) const
{
    return connection < m_connections.size() ? m_connections[connection]->fromClient : QByteArray();
}

void WirePeer::send(int connection, const QString& text)
{
    if (connection < m_connections.size() && m_connections[connection]->client)
        m_connections[connection]->client->write(Cp1251::encode(text));
}

void WirePeer::close(int connection)
{
    if (connection < m_connections.size() && m_connections[connection]->client) {
        m_connections[connection]->client->flush();
        m_connections[connection]->client->disconnectFromHost();
    }
}

QStringList WirePeer::takeMessages(const QByteArray& bytes, qsizetype& cut)
{
    static const QByteArray terminator = Cp1251::encode(Proto::Terminator);
    QStringList messages;
    for (qsizetype end = bytes.indexOf(terminator, cut); end >= 0; end = bytes.indexOf(terminator, cut)) {
        messages << Cp1251::decode(QByteArrayView(bytes).sliced(cut, end - cut));
        cut = end + terminator.size();
    }
    return messages;
}

void WirePeer::onNewConnection()
{
    while (QTcpSocket* client = m_server.nextPendingConnection()) {
        auto* connection = new Connection;
        connection->client = client;
        const int index = int(m_connections.size());
        m_connections << connection;
        client->setParent(this);

        if (m_upstreamPort != 0) {
            auto* upstream = new QTcpSocket(this);
            connection->upstream = upstream;
            connect(upstream, &QTcpSocket::readyRead, this, [this, connection, upstream] {
                const QByteArray bytes = upstream->readAll();
                connection->fromUpstream += bytes;
                m_replies << takeMessages(connection->fromUpstream, connection->upstreamCut);
                if (connection->client)
                    connection->client->write(bytes);
            });
            connect(upstream, &QTcpSocket::disconnected, this, [connection] {
                if (connection->client)
                    connection->client->disconnectFromHost();
            });
            // What the client sends before the upstream answers is queued by
            // the socket and goes out once it is connected.
            upstream->connectToHost(QHostAddress::LocalHost, m_upstreamPort);
        }

        connect(client, &QTcpSocket::readyRead, this, [this, connection, client] {
            const QByteArray bytes = client->readAll();
            connection->fromClient += bytes;
            if (connection->upstream)
                connection->upstream->write(bytes);
            const QStringList messages = takeMessages(connection->fromClient, connection->clientCut);
            for (const QString& message : messages) {
                connection->requests << message;
                m_requests << message;
                emit requestReceived(message);
            }
        });
        connect(client, &QTcpSocket::disconnected, this, [this, connection, index] {
            connection->open = false;
            if (connection->upstream)
                connection->upstream->disconnectFromHost();
            emit connectionClosed(index);
        });
    }
}
