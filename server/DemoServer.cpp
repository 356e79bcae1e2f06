#include "server/DemoServer.h"

#include "server/ClientSession.h"

#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

using namespace Qt::StringLiterals;

DemoServer::DemoServer(const RequestHandler& handler, const ServerLimits& limits, QObject* parent)
    : QObject(parent), m_handler(handler), m_limits(limits)
{
    connect(&m_server, &QTcpServer::newConnection, this, &DemoServer::acceptClients);
    connect(&m_server, &QTcpServer::acceptError, this, &DemoServer::acceptFailed);
}

void DemoServer::acceptFailed()
{
    // QTcpServer stops accepting for good after an accept fails, so a burst
    // that used up the descriptors would leave the server deaf after the
    // crowd has gone. Connections wait in the backlog meanwhile; try again
    // shortly. Logged once per run of failures, not once per retry.
    if (!m_acceptFailing) {
        emit logLine(u"Cannot accept clients: %1; trying again every %2 ms"_s.arg(m_server.errorString())
                         .arg(kAcceptRetryMs));
    }
    m_acceptFailing = true;
    QTimer::singleShot(kAcceptRetryMs, this, [this] { m_server.resumeAccepting(); });
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
    if (m_acceptFailing) {
        m_acceptFailing = false;
        emit logLine(u"Accepting clients again"_s);
    }
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        const QHostAddress from = socket->peerAddress();
        if (m_perAddress.value(from) >= m_limits.maxPerAddress) {
            emit logLine(
                u"Refused %1: %2 connections from %3 are open already"_s.arg(ClientSession::peerOf(*socket))
                    .arg(m_perAddress.value(from))
                    .arg(from.toString()));
            socket->abort();
            socket->deleteLater();
            continue;
        }
        if (m_clients >= m_limits.maxClients) {
            emit logLine(u"Refused %1: %2 clients are connected already"_s.arg(ClientSession::peerOf(*socket))
                             .arg(m_clients));
            socket->abort();
            socket->deleteLater();
            continue;
        }
        auto* session = new ClientSession(socket, m_handler, m_limits, this);
        connect(session, &ClientSession::logLine, this, &DemoServer::logLine);
        connect(session, &ClientSession::finished, this, [this, from] {
            if (--m_perAddress[from] <= 0)
                m_perAddress.remove(from);
            --m_clients;
            emit clientCountChanged(m_clients);
            stopIfIdle();
        });
        ++m_clients;
        ++m_perAddress[from];
        emit clientCountChanged(m_clients);
        emit logLine(u"Connected "_s + session->peer());
    }
}

void DemoServer::stop()
{
    if (m_stopping)
        return;
    m_stopping = true;
    m_server.close();
    const QList<ClientSession*> sessions = findChildren<ClientSession*>(Qt::FindDirectChildrenOnly);
    for (ClientSession* session : sessions)
        session->closeWhenAnswered();
    QTimer::singleShot(kStopGraceMs, this, [this] {
        for (ClientSession* session : findChildren<ClientSession*>(Qt::FindDirectChildrenOnly))
            session->drop(u"did not take its replies before the server stopped"_s);
    });
    stopIfIdle();
}

void DemoServer::stopIfIdle()
{
    if (!m_stopping || m_stopped || m_clients > 0)
        return;
    m_stopped = true;
    emit logLine(u"Stopped"_s);
    emit stopped();
}
