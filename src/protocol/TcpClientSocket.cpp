#include "protocol/TcpClientSocket.h"

#include <utility>

#include "protocol/Cp1251.h"
#include "protocol/Port.h"

#include <QHostAddress>
#include <QNetworkInterface>
#include <QTcpSocket>

using namespace Qt::StringLiterals;

TcpClientSocket::TcpClientSocket(QObject* parent) : ClientSocket(parent)
{
    m_connectTimer.setSingleShot(true);
    m_connectTimer.setInterval(kDefaultConnectTimeout);
    connect(&m_connectTimer, &QTimer::timeout, this, &TcpClientSocket::onConnectTimeout);
}

TcpClientSocket::~TcpClientSocket()
{
    detach();
}

void TcpClientSocket::setConnectTimeout(std::chrono::milliseconds timeout)
{
    m_connectTimer.setInterval(timeout);
}

void TcpClientSocket::Connect(const QString& host, const QString& portText)
{
    const QString hostName = host.trimmed();
    if (hostName.isEmpty())
        throw SocketError{SocketError::kInvalidArgument, u"Не указан адрес сервера."_s};
    const quint16 port = Port::parse(portText.trimmed());
    if (port == 0)
        throw SocketError{
            SocketError::kInvalidArgument,
            u"Порт сервера «%1» не годится: нужно целое число от 1 до 65535."_s.arg(portText.left(40))};

    detach();
    auto* socket = new QTcpSocket(this);
    m_socket = socket;
    socket->setReadBufferSize(kReadBufferSize);
    connect(socket, &QTcpSocket::connected, this, [this, socket] {
        if (socket == m_socket)
            handling([this] { onConnected(); });
    });
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
        if (socket == m_socket)
            handling([this] { emit DataArrival(); });
    });
    connect(socket, &QTcpSocket::errorOccurred, this, [this, socket](QAbstractSocket::SocketError error) {
        handling([&] { onErrorOccurred(socket, error); });
    });
    connect(socket, &QTcpSocket::disconnected, this,
            [this, socket] { handling([&] { onDisconnected(socket); }); });
    m_connectTimer.start();
    socket->connectToHost(hostName, port);
}

void TcpClientSocket::Close()
{
    detach();
}

void TcpClientSocket::detach()
{
    m_connectTimer.stop();
    m_connected = false;
    m_peerClosed = false;
    m_failed = false;
    if (!m_socket)
        return;
    QTcpSocket* socket = m_socket;
    m_socket = nullptr;
    socket->disconnect(this);
    // Requests written just before a close still go out, as far as the
    // system takes them without waiting.
    if (socket->state() == QAbstractSocket::ConnectedState)
        socket->flush();
    socket->abort();
    if (m_handling > 0)
        m_retired << socket;
    else
        socket->deleteLater();
}

template <typename Handler> void TcpClientSocket::handling(Handler&& handler)
{
    ++m_handling;
    handler();
    if (--m_handling == 0) {
        for (QTcpSocket* socket : std::exchange(m_retired, {}))
            socket->deleteLater();
    }
}

void TcpClientSocket::SendData(const QString& text)
{
    if (!m_socket || !m_connected || m_peerClosed || m_failed ||
        m_socket->state() != QAbstractSocket::ConnectedState)
        throw SocketError{SocketError::kInvalidState,
                          u"Wrong protocol or connection state for the requested transaction or request"_s};
    const QByteArray bytes = Cp1251::encode(text);
    if (m_socket->write(bytes) != bytes.size())
        throw SocketError{errorNumber(m_socket->error(), true), m_socket->errorString()};
}

QByteArray TcpClientSocket::GetData()
{
    return m_socket ? m_socket->readAll() : QByteArray();
}

int TcpClientSocket::State() const
{
    if (m_failed)
        return sckError;
    if (m_peerClosed)
        return sckClosing;
    if (!m_socket)
        return sckClosed;
    switch (m_socket->state()) {
    case QAbstractSocket::UnconnectedState:
        return sckClosed;
    case QAbstractSocket::HostLookupState:
        return sckResolvingHost;
    case QAbstractSocket::ConnectingState:
        return sckConnecting;
    case QAbstractSocket::ConnectedState:
        return sckConnected;
    case QAbstractSocket::BoundState:
        return sckOpen;
    case QAbstractSocket::ListeningState:
        return sckListening;
    case QAbstractSocket::ClosingState:
        return sckClosing;
    }
    return sckClosed;
}

QString TcpClientSocket::LocalIP() const
{
    // The address other computers reach this one at: the first IPv4 address
    // of an interface that is up and not the loopback.
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const auto& iface : interfaces) {
        const auto flags = iface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning) ||
            flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        for (const auto& entry : iface.addressEntries()) {
            const QHostAddress address = entry.ip();
            if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback())
                return address.toString();
        }
    }
    return QHostAddress(QHostAddress::LocalHost).toString();
}

int TcpClientSocket::errorNumber(QAbstractSocket::SocketError error, bool wasConnected)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return SocketError::kConnectionRefused;
    case QAbstractSocket::RemoteHostClosedError:
        return SocketError::kConnectionAborted;
    case QAbstractSocket::HostNotFoundError:
        return SocketError::kHostNotFound;
    case QAbstractSocket::SocketTimeoutError:
        return SocketError::kTimedOut;
    case QAbstractSocket::NetworkError:
        return wasConnected ? SocketError::kConnectionAborted : 10050;
    case QAbstractSocket::SocketAccessError:
        return 10013;
    case QAbstractSocket::SocketResourceError:
        return 10055;
    case QAbstractSocket::DatagramTooLargeError:
        return 10040;
    case QAbstractSocket::AddressInUseError:
        return 10048;
    case QAbstractSocket::SocketAddressNotAvailableError:
        return 10049;
    case QAbstractSocket::UnsupportedSocketOperationError:
        return 10045;
    case QAbstractSocket::UnknownSocketError:
        return SocketError::kOtherBase + 999;
    default:
        return SocketError::kOtherBase + int(error);
    }
}

void TcpClientSocket::onConnected()
{
    m_connectTimer.stop();
    m_connected = true;
    emit Connected();
}

void TcpClientSocket::onErrorOccurred(QTcpSocket* socket, QAbstractSocket::SocketError error)
{
    if (socket != m_socket)
        return;
    // A peer that closes or resets an established connection: the toolkit
    // reports it here and then as disconnected(); it is one closed event.
    if (error == QAbstractSocket::RemoteHostClosedError && m_connected)
        return;
    const bool wasConnected = m_connected;
    m_connectTimer.stop();
    m_connected = false;
    raiseError(errorNumber(error, wasConnected), socket->errorString());
}

void TcpClientSocket::onDisconnected(QTcpSocket* socket)
{
    if (socket != m_socket || !m_connected || m_peerClosed)
        return;
    m_peerClosed = true;
    // Whatever the peer sent before closing is read before it is reported
    // closed; the handler may close or reconnect, which detaches `socket`.
    if (socket->bytesAvailable() > 0) {
        emit DataArrival();
        if (socket != m_socket)
            return;
    }
    emit Closed();
}

void TcpClientSocket::onConnectTimeout()
{
    if (!m_socket || m_connected)
        return;
    detach();
    raiseError(SocketError::kTimedOut, u"Connection timed out"_s);
}

void TcpClientSocket::raiseError(int number, const QString& description)
{
    m_failed = true;
    bool cancelDisplay = false;
    emit Error(number, description, &cancelDisplay);
    if (!cancelDisplay)
        qWarning("Socket error %d: %s", number, qUtf8Printable(description));
}
