#pragma once

#include "protocol/Cp1251.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QTest>

#include <utility>

// A plain client of the wire. Waits run the event loop, so a server in this
// thread keeps working, and are bounded, so a fault fails instead of hanging.
struct WireClient
{
    static constexpr int kWaitMs = 10000;
    inline static const QByteArray kTerm = QByteArrayLiteral("<\xA5>");

    bool connectTo(quint16 port)
    {
        socket.connectToHost(QHostAddress(QHostAddress::LocalHost), port);
        (void)QTest::qWaitFor([this] { return socket.state() != QAbstractSocket::ConnectingState; }, kWaitMs);
        return socket.state() == QAbstractSocket::ConnectedState;
    }
    void send(const QByteArray& bytes)
    {
        socket.write(bytes);
        socket.flush();
    }
    // The next reply with its terminator; empty when the connection closes or none comes in time.
    QByteArray next()
    {
        (void)QTest::qWaitFor(
            [&] {
                buffer += socket.readAll();
                return buffer.contains(kTerm) || socket.state() == QAbstractSocket::UnconnectedState;
            },
            kWaitMs);
        const qsizetype end = buffer.indexOf(kTerm) + kTerm.size();
        return end < kTerm.size() ? QByteArray() : std::exchange(buffer, buffer.mid(end)).left(end);
    }
    QByteArray ask(const QString& request)
    {
        send(Cp1251::encode(request) + kTerm);
        return next();
    }

    QTcpSocket socket;
    QByteArray buffer;
};
