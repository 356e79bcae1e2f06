#include "protocol/MessageSplitter.h"

#include "protocol/Cp1251.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr char kOpen = '<';
constexpr char kGhe = char(0xA5); // "Ґ"
constexpr char kClose = '>';
constexpr qsizetype kTerminatorSize = 3;

constexpr qsizetype kMinCapacity = 16 * 1024;

} // namespace

MessageSplitter::MessageSplitter(qsizetype maxPendingBytes) : m_maxPending(maxPendingBytes) {}

MessageSplitter::~MessageSplitter() = default;

void MessageSplitter::append(QByteArrayView bytes)
{
    if (m_overflowed || bytes.isEmpty())
        return;
    makeRoom(bytes.size());
    std::memcpy(m_data.get() + m_size, bytes.data(), size_t(bytes.size()));
    m_size += bytes.size();
}

void MessageSplitter::makeRoom(qsizetype extra)
{
    if (m_start == m_size) {
        // Everything was handed on: start again at the front. The memory is
        // kept for the next long message; clear() gives it back.
        m_start = m_scan = m_size = 0;
    }
    if (m_size + extra <= m_capacity)
        return;
    const qsizetype pending = m_size - m_start;
    const qsizetype needed = pending + extra;
    if (needed <= m_capacity / 2) {
        // Moving the remainder to the front costs no more than the bytes
        // already consumed, so the total stays linear.
        std::memmove(m_data.get(), m_data.get() + m_start, size_t(pending));
    } else {
        // Grow geometrically, dropping the consumed front in the same copy.
        const qsizetype capacity = std::max({kMinCapacity, 2 * m_capacity, 2 * needed});
        std::unique_ptr<char[]> data(new char[size_t(capacity)]);
        Cp1251::preferHugePages(data.get(), capacity);
        if (pending > 0)
            std::memcpy(data.get(), m_data.get() + m_start, size_t(pending));
        m_data = std::move(data);
        m_capacity = capacity;
    }
    m_scan -= m_start;
    m_size = pending;
    m_start = 0;
}

std::optional<QString> MessageSplitter::takeMessage()
{
    const char* data = m_data.get();
    // "<" and ">" are everywhere in payloads ("<Str>", "<Sc>"); "Ґ" is rare,
    // so look for it and check its neighbours.
    qsizetype from = std::max(m_scan, m_start) + 1;
    while (from < m_size - 1) {
        const void* hit = std::memchr(data + from, kGhe, size_t(m_size - 1 - from));
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
    m_scan = std::max(m_start, m_size - (kTerminatorSize - 1));
    if (pendingBytes() > m_maxPending) {
        clear();
        m_overflowed = true;
    }
    return std::nullopt;
}

void MessageSplitter::dropIncomplete()
{
    m_overflowed = false;
    const char* data = m_data.get();
    qsizetype end = m_size;
    while (end - m_start >= kTerminatorSize &&
           !(data[end - 3] == kOpen && data[end - 2] == kGhe && data[end - 1] == kClose))
        --end;
    if (end - m_start < kTerminatorSize) {
        clear();
        return;
    }
    m_size = end;
    m_scan = std::min(m_scan, m_size);
}

void MessageSplitter::clear()
{
    m_data.reset();
    m_capacity = m_size = m_start = m_scan = 0;
    m_overflowed = false;
}
