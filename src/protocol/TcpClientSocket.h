#pragma once

#include "protocol/ClientSocket.h"

#include <QAbstractSocket>
#include <QTimer>

#include <chrono>

class QTcpSocket;

// ClientSocket over QTcpSocket. Each connection attempt gets a socket of its
// own; Close() detaches the old one before anything else happens, so no late
// signal of a dropped connection can reach the program, and the old socket is
// only ever deleted later (it may be emitting the signal that led to Close()).
class TcpClientSocket final : public ClientSocket
{
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds kDefaultConnectTimeout{20000};
    // The most the toolkit holds unread; beyond it TCP flow control makes
    // the peer wait, so a flood cannot pile up while a modal box is open.
    static constexpr qint64 kReadBufferSize = 1024 * 1024;

    explicit TcpClientSocket(QObject* parent = nullptr);
    ~TcpClientSocket() override;

    void Connect(const QString& host, const QString& portText) override;
    void Close() override;
    void SendData(const QString& text) override;
    QByteArray GetData() override;
    int State() const override;
    QString LocalIP() const override;

    // An address that never answers emits nothing for minutes; this is how
    // long an attempt may take before it fails with kTimedOut.
    void setConnectTimeout(std::chrono::milliseconds timeout);

    // The number an error of the toolkit is reported with.
    static int errorNumber(QAbstractSocket::SocketError error, bool wasConnected);

private:
    template <typename Handler> void handling(Handler&& handler);
    void detach();
    void onConnected();
    void onErrorOccurred(QTcpSocket* socket, QAbstractSocket::SocketError error);
    void onDisconnected(QTcpSocket* socket);
    void onConnectTimeout();
    void raiseError(int number, const QString& description);

    QTcpSocket* m_socket = nullptr;
    // A socket let go of while one of its own events is still being handled
    // further up the stack (a message box opened from its arrival, then a
    // reconnect): deleted once no event of ours is being handled, never under it.
    QList<QTcpSocket*> m_retired;
    int m_handling = 0;
    QTimer m_connectTimer;
    bool m_connected = false;  // the connected event was raised for m_socket
    bool m_peerClosed = false; // the closed event was raised
    bool m_failed = false;     // an error was raised
};
