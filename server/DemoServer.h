#pragma once

#include "server/ServerLimits.h"

#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QTcpServer>

class RequestHandler;

// The listening side of brastel-demo: accepts clients and gives each its own
// session, all on the thread that owns the server. Clients are independent:
// one that is dropped takes nothing from the others.
class DemoServer final : public QObject
{
    Q_OBJECT

public:
    DemoServer(const RequestHandler& handler, const ServerLimits& limits, QObject* parent = nullptr);
    Q_DISABLE_COPY_MOVE(DemoServer)

    // Port 0 picks a free port; serverPort() then tells which.
    bool listen(const QHostAddress& address, quint16 port);
    quint16 serverPort() const { return m_server.serverPort(); }
    QString errorString() const { return m_server.errorString(); }

    int clientCount() const { return m_clients; }

    // Stops accepting and closes every connection once the requests it has
    // sent are answered; a client that has not taken its replies within
    // kStopGraceMs is dropped. Logs "Stopped" and emits stopped() when the
    // last connection is gone.
    void stop();
    static constexpr int kStopGraceMs = 1500;

    // How long accepting pauses after a failed accept (such as running out
    // of descriptors) before it is tried again.
    static constexpr int kAcceptRetryMs = 100;

signals:
    // A line for the server's log: clients coming and going, user messages
    // ("$Mess="), dropped and refused clients.
    void logLine(const QString& line);
    void clientCountChanged(int count);
    void stopped();

private:
    void acceptClients();
    void acceptFailed();
    void stopIfIdle();

    QTcpServer m_server;
    const RequestHandler& m_handler;
    ServerLimits m_limits;
    int m_clients = 0;
    QHash<QHostAddress, int> m_perAddress;
    bool m_acceptFailing = false;
    bool m_stopping = false;
    bool m_stopped = false;
};
