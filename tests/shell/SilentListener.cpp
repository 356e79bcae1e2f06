#include "SilentListener.h"

#include <QHostAddress>
#include <QTcpSocket>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

SilentListener::SilentListener()
{
    m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (m_fd < 0)
        return;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(m_fd, 0) != 0 ||
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return;
    m_port = ntohs(address.sin_port);
    // A backlog of 0 still queues one connection; this one takes the place.
    m_filler = new QTcpSocket;
    m_filler->connectToHost(QHostAddress::LocalHost, m_port);
    m_ready = m_filler->waitForConnected(5000);
}

SilentListener::~SilentListener()
{
    delete m_filler;
    if (m_fd >= 0)
        ::close(m_fd);
}
