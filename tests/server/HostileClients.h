#pragma once

#include <QHostAddress>
#include <QTcpSocket>
#include <QTest>

#include <algorithm>
#include <memory>
#include <vector>

// A crowd of clients that connect and then send nothing, each from a chosen
// loopback address (all of 127.0.0.0/8 is this machine), so a test can tell
// them from the honest client on 127.0.0.1.
struct HostileClients
{
    // Returns once every connection is made or has failed.
    void open(quint16 port, int count, const QHostAddress& from)
    {
        for (int i = 0; i < count; ++i) {
            sockets.push_back(std::make_unique<QTcpSocket>());
            sockets.back()->bind(from);
            sockets.back()->connectToHost(QHostAddress(QHostAddress::LocalHost), port);
        }
        (void)QTest::qWaitFor(
            [this] {
                return std::none_of(sockets.begin(), sockets.end(), [](const auto& s) {
                    return s->state() == QAbstractSocket::ConnectingState ||
                           s->state() == QAbstractSocket::BoundState;
                });
            },
            10000);
    }

    std::vector<std::unique_ptr<QTcpSocket>> sockets;
};
