#pragma once

#include "protocol/Cp1251.h"
#include "protocol/ProtocolWords.h"

#include <QPointer>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>

// The server's side of the wire on 127.0.0.1, keeping every byte each client sends.
class WirePeer final
{
    Q_DISABLE_COPY_MOVE(WirePeer)

public:
    WirePeer()
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket* client = m_server.nextPendingConnection())
                accept(client);
        });
        m_server.listen(QHostAddress::LocalHost, 0);
    }

    quint16 port() const { return m_server.serverPort(); }
    int connectionCount() const { return int(m_clients.size()); }
    int closedCount() const { return m_closed; }
    // The client's messages, decoded: of every connection in turn, or of one.
    QStringList requests(int connection = -1) const
    {
        QStringList all;
        for (int i = 0; i < connectionCount(); ++i)
            all << (connection < 0 || connection == i ? messages(m_fromClients[i]) : QStringList());
        return all;
    }
    QByteArray rawRequests(int connection) const { return m_fromClients.value(connection); }

    // The accepted connection (the latest by default); null once gone.
    QTcpSocket* client(int connection = -1) const
    {
        return m_clients.value(connection < 0 ? connectionCount() - 1 : connection).data();
    }
    // Writes `text` in Windows-1251 exactly as given, no terminator added.
    void send(int connection, const QString& text) { sendBytes(connection, Cp1251::encode(text)); }
    void sendBytes(int connection, const QByteArray& bytes)
    {
        m_clients[connection]->write(bytes);
        m_clients[connection]->flush();
    }
    void close(int connection) { m_clients[connection]->disconnectFromHost(); }

private:
    void accept(QTcpSocket* client)
    {
        const qsizetype index = m_clients.size();
        m_clients << client;
        m_fromClients << QByteArray();
        QObject::connect(client, &QTcpSocket::readyRead, client,
                         [this, client, index] { m_fromClients[index] += client->readAll(); });
        QObject::connect(client, &QTcpSocket::disconnected, client, [this] { ++m_closed; });
    }

    static QStringList messages(const QByteArray& bytes)
    {
        QStringList found = Cp1251::decode(bytes).split(Proto::Terminator);
        found.removeLast(); // the unterminated tail
        return found;
    }

    QList<QPointer<QTcpSocket>> m_clients;
    QList<QByteArray> m_fromClients;
    int m_closed = 0;
    // Last, so the sockets it owns go while the records they write to remain.
    QTcpServer m_server;
};
