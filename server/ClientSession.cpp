#include "server/ClientSession.h"

#include "protocol/Cp1251.h"
#include "protocol/ProtocolWords.h"
#include "server/LogText.h"
#include "server/RequestHandler.h"

#include <QHostAddress>
#include <QTcpSocket>

using namespace Qt::StringLiterals;

namespace {

// Read a bounded amount at a time, so the socket's own buffer never holds
// much more than the splitter is allowed to.
constexpr qint64 kReadChunk = 16 * 1024;

} // namespace

QString ClientSession::peerOf(const QTcpSocket& socket)
{
    const QHostAddress address = socket.peerAddress();
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
                             ? u"["_s + address.toString() + u"]"_s
                             : address.toString();
    return host + u":"_s + QString::number(socket.peerPort());
}

ClientSession::ClientSession(QTcpSocket* socket, const RequestHandler& handler, const ServerLimits& limits,
                             QObject* parent)
    : QObject(parent), m_socket(socket), m_handler(handler), m_limits(limits),
      m_splitter(limits.maxRequestBytes), m_peer(peerOf(*socket))
{
    m_socket->setParent(this);
    m_socket->setReadBufferSize(kReadChunk * 4);
    connect(m_socket, &QTcpSocket::readyRead, this, &ClientSession::readRequests);
    connect(m_socket, &QTcpSocket::disconnected, this, [this] {
        if (!m_finished)
            emit logLine(u"Disconnected "_s + m_peer);
        finish();
    });
    m_idle.setSingleShot(true);
    connect(&m_idle, &QTimer::timeout, this,
            [this] { drop(u"sent no complete request for %1 s"_s.arg(m_limits.idleTimeoutMs / 1000.0)); });
    m_idle.start(m_limits.idleTimeoutMs);
    // Data may have arrived between the accept and the connections above.
    if (m_socket->bytesAvailable() > 0)
        QMetaObject::invokeMethod(this, &ClientSession::readRequests, Qt::QueuedConnection);
}

ClientSession::~ClientSession() = default;

void ClientSession::readRequests()
{
    while (!m_finished && !m_closing && m_socket->bytesAvailable() > 0) {
        m_splitter.append(m_socket->read(kReadChunk));
        while (!m_finished) {
            const std::optional<QString> request = m_splitter.takeMessage();
            if (!request)
                break;
            m_idle.start();
            answer(*request);
        }
        if (!m_finished && m_splitter.overflowed())
            drop(u"sent more than %1 bytes without a terminator"_s.arg(m_limits.maxRequestBytes));
    }
}

void ClientSession::answer(const QString& request)
{
    const RequestHandler::Outcome outcome = m_handler.handle(request);
    // Only the answered ones: a message and a drop have lines of their own.
    if (m_handler.logsRequests() && outcome.action == RequestHandler::Action::Reply)
        emit logLine(u"Request from "_s + m_peer + u": "_s + LogText::printable(request));
    if (!outcome.logNote.isEmpty())
        emit logLine(m_peer + u": "_s + outcome.logNote);
    switch (outcome.action) {
    case RequestHandler::Action::Reply:
        m_socket->write(Cp1251::encode(outcome.text + Proto::Terminator));
        if (m_socket->bytesToWrite() > m_limits.maxQueuedReplyBytes)
            drop(u"does not read its replies (%1 bytes queued)"_s.arg(m_socket->bytesToWrite()));
        break;
    case RequestHandler::Action::AdminMessage:
        emit logLine(u"Message from "_s + m_peer + u": "_s + LogText::printable(outcome.text));
        break;
    case RequestHandler::Action::Drop:
        drop(outcome.text);
        break;
    }
}

void ClientSession::closeWhenAnswered()
{
    readRequests();
    if (m_finished || m_closing)
        return;
    m_closing = true;
    m_idle.stop();
    // Writes what is queued first; "disconnected" follows, then finish().
    m_socket->disconnectFromHost();
}

void ClientSession::drop(const QString& reason)
{
    if (m_finished)
        return;
    emit logLine(u"Dropped "_s + m_peer + u": "_s + reason);
    // Finished first: abort() reports the disconnection at once, and that
    // must not read as the client leaving of its own accord.
    finish();
    m_idle.stop();
    m_socket->abort();
}

void ClientSession::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    emit finished();
    deleteLater();
}
