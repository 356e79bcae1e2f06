#pragma once

#include "protocol/MessageSplitter.h"
#include "server/ServerLimits.h"

#include <QObject>
#include <QString>
#include <QTimer>

class QTcpSocket;
class RequestHandler;

// One connected client: cuts its byte stream into requests, answers each in
// order, and drops the client when it breaks the protocol's bounds. Deletes
// itself (later) once the connection is gone.
class ClientSession final : public QObject
{
    Q_OBJECT

public:
    // Takes the socket over.
    ClientSession(QTcpSocket* socket, const RequestHandler& handler, const ServerLimits& limits,
                  QObject* parent = nullptr);
    ~ClientSession() override;
    Q_DISABLE_COPY_MOVE(ClientSession)

    // "127.0.0.1:54321", or "[::1]:54321".
    QString peer() const { return m_peer; }
    static QString peerOf(const QTcpSocket& socket);

    // The server is stopping: the requests already received are answered and
    // the replies written out, then the connection is closed; later requests
    // are not read.
    void closeWhenAnswered();
    // Closes the connection at once, logging why; replies not yet written
    // out are lost.
    void drop(const QString& reason);

signals:
    // "Disconnected PEER", "Dropped PEER: reason", "Message from PEER: text",
    // and when the handler logs requests "Request from PEER: request".
    void logLine(const QString& line);
    // Emitted once, when the connection is closed by either side.
    void finished();

private:
    void readRequests();
    void answer(const QString& request);
    void finish();

    QTcpSocket* m_socket;
    const RequestHandler& m_handler;
    ServerLimits m_limits;
    MessageSplitter m_splitter;
    QString m_peer;
    QTimer m_idle; // restarted by every complete request
    bool m_finished = false;
    bool m_closing = false;
};
