#include "PcmQueue.h"

namespace vt {

PcmQueue::PcmQueue(qsizetype limitBytes) : m_limit(limitBytes) {}

void PcmQueue::push(const qint16* samples, qsizetype count) {
    std::lock_guard lock(m_mutex);
    m_bytes.append(reinterpret_cast<const char*>(samples), count * 2);
}

bool PcmQueue::waitForRoom() {
    std::unique_lock lock(m_mutex);
    m_room.wait(lock, [&] { return m_aborted || m_bytes.size() - m_readOffset < m_limit; });
    return !m_aborted;
}

QByteArray PcmQueue::take(qsizetype maxBytes) {
    QByteArray front;
    {
        std::lock_guard lock(m_mutex);
        const qsizetype available = m_bytes.size() - m_readOffset;
        const qsizetype length = std::min(available, maxBytes) / 2 * 2;
        front = m_bytes.mid(m_readOffset, length);
        m_readOffset += length;
        // Drop the consumed front now and then rather than on every take.
        if (m_readOffset == m_bytes.size()) {
            m_bytes.clear();
            m_readOffset = 0;
        } else if (m_readOffset > (1 << 20)) {
            m_bytes.remove(0, m_readOffset);
            m_readOffset = 0;
        }
    }
    m_room.notify_all();
    return front;
}

qsizetype PcmQueue::size() const {
    std::lock_guard lock(m_mutex);
    return m_bytes.size() - m_readOffset;
}

void PcmQueue::abort() {
    {
        std::lock_guard lock(m_mutex);
        m_aborted = true;
    }
    m_room.notify_all();
}

} // namespace vt
