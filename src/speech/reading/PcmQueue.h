#pragma once

#include <QByteArray>
#include <atomic>
#include <condition_variable>
#include <mutex>

namespace vt {

// Audio handed from the synthesis thread to the audio output, as bytes of
// 16-bit samples. The producer waits while the queue is full, so synthesis
// runs only a little ahead of what is played.
class PcmQueue {
  public:
    explicit PcmQueue(qsizetype limitBytes);

    // Never blocks; the limit is checked by waitForRoom between chunks.
    void push(const qint16* samples, qsizetype count);
    // Blocks while the queue holds the limit or more. False when aborted.
    bool waitForRoom();
    // Up to maxBytes from the front, a whole number of samples.
    QByteArray take(qsizetype maxBytes);
    qsizetype size() const;
    // Wakes and refuses every waiter from now on.
    void abort();

  private:
    mutable std::mutex m_mutex;
    std::condition_variable m_room;
    QByteArray m_bytes;
    qsizetype m_readOffset = 0;
    const qsizetype m_limit;
    bool m_aborted = false;
};

} // namespace vt
