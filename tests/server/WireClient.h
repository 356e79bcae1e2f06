#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QString>
#include <QTcpSocket>

#include <optional>

// A client of the wire for tests: raw bytes out, whole replies (terminator
// included) back. Every wait runs the event loop, so a server in the same
// thread keeps working, and is bounded so a fault fails the test instead of
// hanging it.
class WireClient final
{
public:
    static constexpr int kWaitMs = 10000;

    WireClient() = default;
    Q_DISABLE_COPY_MOVE(WireClient)

    bool connectTo(quint16 port, const QHostAddress& address = QHostAddress(QHostAddress::LocalHost));
    void sendRaw(const QByteArray& bytes);
    // The request in Windows-1251 with the terminator.
    void request(const QString& text);

    // The next reply as sent, up to and including its terminator; nothing
    // when the connection closes or no complete reply comes in time.
    std::optional<QByteArray> nextReplyBytes(int waitMs = kWaitMs);
    // The same, decoded, without the terminator.
    std::optional<QString> nextReply(int waitMs = kWaitMs);
    // request() then nextReply().
    std::optional<QString> ask(const QString& text);

    // True once the server has closed the connection.
    bool waitForClosed(int waitMs = kWaitMs);
    // Bytes received and not yet taken as a reply.
    QByteArray pending() const { return m_buffer; }
    QTcpSocket& socket() { return m_socket; }

private:
    QTcpSocket m_socket;
    QByteArray m_buffer;
};
