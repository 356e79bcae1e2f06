#pragma once

#include <QtGlobal>

class QTcpSocket;

// A port on 127.0.0.1 that never answers a connection attempt: a listening
// socket that accepts nothing, its one-place queue taken by a connection of
// its own. The system drops further attempts' first packet, so they stay
// pending as they would towards a silent host, without any traffic leaving
// this computer.
class SilentListener final
{
public:
    SilentListener();
    ~SilentListener();
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;

    // False when the port could not be set up.
    bool isReady() const { return m_ready; }
    quint16 port() const { return m_port; }

private:
    int m_fd = -1;
    quint16 m_port = 0;
    QTcpSocket* m_filler = nullptr;
    bool m_ready = false;
};
