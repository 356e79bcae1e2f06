#include "WireClient.h"

#include "Cp1251.h"
#include "ProtocolWords.h"

#include <QTest>

namespace {
const QByteArray kTerminator = QByteArrayLiteral("<\xA5>");
}

bool WireClient::connectTo(quint16 port, const QHostAddress& address)
{
    m_socket.connectToHost(address, port);
    return QTest::qWaitFor([this] { return m_socket.state() == QAbstractSocket::ConnectedState; }, kWaitMs);
}

void WireClient::sendRaw(const QByteArray& bytes)
{
    m_socket.write(bytes);
    m_socket.flush();
}

void WireClient::request(const QString& text)
{
    sendRaw(Cp1251::encode(text + Proto::Terminator));
}

std::optional<QByteArray> WireClient::nextReplyBytes(int waitMs)
{
    qsizetype at = -1;
    (void)QTest::qWaitFor(
        [&] {
            m_buffer += m_socket.readAll();
            at = m_buffer.indexOf(kTerminator);
            return at >= 0 || m_socket.state() == QAbstractSocket::UnconnectedState;
        },
        waitMs);
    if (at < 0)
        return std::nullopt;
    const QByteArray reply = m_buffer.left(at + kTerminator.size());
    m_buffer.remove(0, reply.size());
    return reply;
}

std::optional<QString> WireClient::nextReply(int waitMs)
{
    const std::optional<QByteArray> bytes = nextReplyBytes(waitMs);
    if (!bytes)
        return std::nullopt;
    return Cp1251::decode(QByteArrayView(*bytes).chopped(kTerminator.size()));
}

std::optional<QString> WireClient::ask(const QString& text)
{
    request(text);
    return nextReply();
}

bool WireClient::waitForClosed(int waitMs)
{
    return QTest::qWaitFor(
        [this] {
            m_buffer += m_socket.readAll();
            return m_socket.state() == QAbstractSocket::UnconnectedState;
        },
        waitMs);
}
