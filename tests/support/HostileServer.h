#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

// A server on 127.0.0.1 that does what the protocol allows but no sane server
// would: as each client connects it is sent the whole script in one write
// (floods of messages, texts of megabytes), whatever the client asks.
class HostileServer final
{
    Q_DISABLE_COPY_MOVE(HostileServer)

public:
    explicit HostileServer(const QByteArray& script)
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this, script] {
            while (QTcpSocket* client = m_server.nextPendingConnection())
                client->write(script);
        });
        m_server.listen(QHostAddress::LocalHost, 0);
    }

    QString port() const { return QString::number(m_server.serverPort()); }

    // `count` messages, each `message` with its terminator; "%1" in it
    // becomes the message's number, from 0.
    static QByteArray flood(const QByteArray& message, int count)
    {
        QByteArray bytes;
        for (int i = 0; i < count; ++i)
            bytes += QByteArray(message).replace("%1", QByteArray::number(i)) + QByteArrayLiteral("<\xA5>");
        return bytes;
    }

private:
    QTcpServer m_server;
};
