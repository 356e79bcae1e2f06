#include "DemoServer.h"

#include "ClientSession.h"

#include <QTcpSocket>

#include <algorithm>

DemoServer::DemoServer(const RequestHandler& handler, const ServerLimits& limits, QObject* parent)
    : QObject(parent), m_handler(handler), m_limits(limits)
{
    connect(&m_server, &QTcpServer::newConnection, this, &DemoServer::acceptClients);
}

bool DemoServer::listen(const QHostAddress& address, quint16 port)
{
    // Qt's default backlog of 50 makes a crowd that connects at once wait a
    // second for the kernel to retry; the system caps the value anyway.
    m_server.setListenBacklogSize(std::max(50, m_limits.maxClients));
    return m_server.listen(address, port);
}

void DemoServer::acceptClients()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        if (m_clients >= m_limits.maxClients) {
            emit logLine(
                u"Refused %1: %2 clients are connected already"_qs.arg(ClientSession::peerOf(*socket))
                    .arg(m_clients));
            socket->abort();
            socket->deleteLater();
            continue;
        }
        auto* session = new ClientSession(socket, m_handler, m_limits, this);
        connect(session, &ClientSession::logLine, this, &DemoServer::logLine);
        connect(session, &ClientSession::finished, this, [this] {
            --m_clients;
            emit clientCountChanged(m_clients);
        });
        ++m_clients;
        emit clientCountChanged(m_clients);
        emit logLine(u"Connected "_qs + session->peer());
    }
}
