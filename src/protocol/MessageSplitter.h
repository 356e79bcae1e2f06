#pragma once

#include <QByteArrayView>
#include <QString>

#include <memory>
#include <optional>

// Cuts the received byte stream into messages at the terminator "<Ґ>"
// (bytes 3C A5 3E in Windows-1251) and decodes each one. Bytes, not text: in
// a single-byte code page the terminator bytes cannot be part of another
// character. The cost is linear in what was received: a scan position means
// nothing is searched twice, and the consumed front is dropped lazily, when
// the buffer has to move anyway, so the remainder is not copied per message.
// The buffer keeps the size the longest message needed until clear().
class MessageSplitter final
{
public:
    static constexpr qsizetype kDefaultMaxPendingBytes = 64 * 1024 * 1024;

    explicit MessageSplitter(qsizetype maxPendingBytes = kDefaultMaxPendingBytes);
    ~MessageSplitter();
    MessageSplitter(const MessageSplitter&) = delete;
    MessageSplitter& operator=(const MessageSplitter&) = delete;

    // Adds received bytes at the end. Ignored once overflowed(), until clear().
    void append(QByteArrayView bytes);

    // The next complete message, decoded and without its terminator; it is
    // removed from the buffer before it is returned, so a caller that runs a
    // nested event loop while handling it can never be handed it again.
    // Nothing while no complete message is held.
    std::optional<QString> takeMessage();

    // Bytes received and not yet handed on as a message.
    qsizetype pendingBytes() const { return m_size - m_start; }

    // True once more than maxPendingBytes are held without a terminator. The
    // held bytes are then dropped and further input is ignored until clear(),
    // so a peer that never ends its message cannot exhaust memory.
    bool overflowed() const { return m_overflowed; }

    // Forgets everything held and the overflow, and gives the memory back.
    void clear();
    // Forgets the bytes after the last terminator and the overflow; the
    // complete messages before it are still handed on.
    void dropIncomplete();

private:
    void makeRoom(qsizetype extra);

    std::unique_ptr<char[]> m_data;
    qsizetype m_capacity = 0;
    qsizetype m_size = 0;
    qsizetype m_start = 0; // first byte not yet handed on
    qsizetype m_scan = 0;  // earliest position a terminator may still start at
    qsizetype m_maxPending;
    bool m_overflowed = false;
};
