#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

// A server on 127.0.0.1 that does what the protocol allows but no sane server
// would: each client is sent the whole script in one write, whatever it asks.
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

    // `count` terminated messages, "%1" in `message` numbering them from 0.
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
