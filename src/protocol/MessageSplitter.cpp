#include "MessageSplitter.h"

#include "Cp1251.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr char kOpen = '<';
constexpr char kGhe = char(0xA5); // "Ґ"
constexpr char kClose = '>';
constexpr qsizetype kTerminatorSize = 3;

// Below this the consumed front is not worth a move.
constexpr qsizetype kCompactThreshold = 4096;

} // namespace

MessageSplitter::MessageSplitter(qsizetype maxPendingBytes) : m_maxPending(maxPendingBytes) {}

void MessageSplitter::append(QByteArrayView bytes)
{
    if (m_overflowed || bytes.isEmpty())
        return;
    compact();
    m_bytes.append(bytes.data(), bytes.size());
}

std::optional<QString> MessageSplitter::takeMessage()
{
    const qsizetype size = m_bytes.size();
    const char* data = m_bytes.constData();
    // "<" and ">" are everywhere in payloads ("<Str>", "<Sc>"); "Ґ" is rare,
    // so look for it and check its neighbours.
    qsizetype from = std::max(m_scan, m_start) + 1;
    while (from < size - 1) {
        const void* hit = std::memchr(data + from, kGhe, size_t(size - 1 - from));
        if (!hit)
            break;
        const qsizetype at = static_cast<const char*>(hit) - data;
        if (data[at - 1] == kOpen && data[at + 1] == kClose) {
            const qsizetype begin = m_start;
            const qsizetype end = at - 1;
            m_start = at + 2;
            m_scan = m_start;
            return Cp1251::decode(QByteArrayView(data + begin, end - begin));
        }
        from = at + 1;
    }
    // A terminator may still begin in the last two bytes, cut by the arrival.
    m_scan = std::max(m_start, size - (kTerminatorSize - 1));
    if (pendingBytes() > m_maxPending) {
        m_overflowed = true;
        m_bytes = QByteArray();
        m_start = 0;
        m_scan = 0;
    }
    return std::nullopt;
}

void MessageSplitter::clear()
{
    m_bytes = QByteArray();
    m_start = 0;
    m_scan = 0;
    m_overflowed = false;
}

void MessageSplitter::compact()
{
    if (m_start == 0)
        return;
    if (m_start == m_bytes.size()) {
        m_bytes.resize(0);
        m_scan = m_start = 0;
        return;
    }
    // Moving the remainder costs no more than the bytes already consumed, so
    // the total stays linear however many messages the buffer held.
    if (m_start >= kCompactThreshold && m_start >= m_bytes.size() - m_start) {
        m_bytes.remove(0, m_start);
        m_scan -= m_start;
        m_start = 0;
    }
}
