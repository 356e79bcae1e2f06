#pragma once

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <array>

// A port on 127.0.0.1 that never answers: a listener's queue of 0 is taken by
// our own connections, so further attempts hang as towards a silent host.
class SilentPort final
{
    Q_DISABLE_COPY_MOVE(SilentPort)

public:
    SilentPort()
    {
        m_server.setListenBacklogSize(0);
        m_server.listen(QHostAddress::LocalHost, 0);
        m_server.pauseAccepting();
        for (QTcpSocket& filler : m_fillers)
            filler.connectToHost(QHostAddress::LocalHost, m_server.serverPort());
        QTest::qWait(200);
    }
    QString port() const { return QString::number(m_server.serverPort()); }

private:
    QTcpServer m_server;
    std::array<QTcpSocket, 4> m_fillers;
};
