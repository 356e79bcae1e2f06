#pragma once

#include "protocol/MessageSplitter.h"
#include "protocol/ServerLink.h"
#include "protocol/StatusLog.h"

#include <QObject>

class ClientSocket;
class ReplyTarget;
class StatusBox;

// The client's side of the conversation: sends framed requests through the
// socket, cuts what arrives into messages (the receive buffer `sInBuffer`),
// hands each to ParseServerCommand, and keeps the status log.
//
// Messages are handed on one at a time and in order. A handler may open a
// modal box; what arrives meanwhile is buffered and handed on after it
// returns, never twice and never left waiting for a later arrival. A long
// run of messages is handed on in slices of kSliceMs, each continued on the
// next turn of the event loop, so the windows stay responsive under a flood.
class ServerSession final : public QObject, public ServerLink
{
    Q_OBJECT

public:
    // Reparents `socket` to the session if it has no parent.
    explicit ServerSession(ClientSocket* socket, QObject* parent = nullptr,
                           qsizetype maxPendingBytes = MessageSplitter::kDefaultMaxPendingBytes);
    ~ServerSession() override;

    ClientSocket& socket() const { return *m_socket; }

    // Where payloads go; nullptr drops them. Not owned.
    void setReplyTarget(ReplyTarget* target) { m_target = target; }

    // Frames `command` with the terminator and sends it. A send while not
    // connected shows "Потеряно подключение к серверу"; any other failure goes
    // to Show_Error. Never throws; the request is then dropped.
    void SendCommand(const QString& command) override;
    void AddStatus(const QString& line) override;

    StatusLog& statusLog() { return m_log; }
    const StatusLog& statusLog() const { return m_log; }
    // Shows the status log in `box` (not owned; nullptr: nowhere).
    void setStatusBox(StatusBox* box) { m_log.setBox(box); }

    // Drops what a broken connection left of a message it did not finish, so
    // it is not joined to the first message of the next connection. Messages
    // that had arrived whole are still handed on, in order, before anything
    // the next connection brings.
    void dropIncompleteMessage();
    // Bytes received and not yet handed on.
    qsizetype bufferedBytes() const { return m_splitter.pendingBytes(); }

    // How long one pass of handing on may hold the event loop (the log box's
    // update at its end comes on top).
    static constexpr int kSliceMs = 20;
    // A pass also ends once the log box lacks this many characters: on a
    // fast machine a slice gathers more lines than the box takes in at once.
    static constexpr qsizetype kMaxHeldChars = 256 * 1024;

    // The text of the box shown when SendCommand finds no connection.
    static QString notConnectedText();
    // The text of the box shown when the server floods without a terminator.
    static QString overflowText(qsizetype maxPendingBytes);

signals:
    // The session closed the connection itself (the server sent more than
    // the buffer bound without a terminator); show the not-connected state.
    void connectionDropped();

private:
    void onDataArrival();
    void handOverPending();
    void pull();
    void handOver(QString message);
    void dropFlood();

    ClientSocket* m_socket;
    ReplyTarget* m_target = nullptr;
    MessageSplitter m_splitter;
    StatusLog m_log;
    qsizetype m_maxPendingBytes;
    bool m_handing = false;    // a hand-over loop is running further up the stack
    bool m_passQueued = false; // the next slice of a long run is waiting for its turn
};
