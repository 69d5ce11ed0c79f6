#pragma once

#include <QString>
#include <atomic>
#include <deque>
#include <future>

namespace vt {

class Dialogs;

// Encodes WAV parts to MP3 on threads of their own, at most `capacity` at a
// time, so the caller can render the next part meanwhile. Parts finish in the
// order they were started.
class EncoderQueue {
  public:
    struct Finished {
        int index = 0;
        QString wavPath;
        QString mp3Path;
        QString failure; // why the MP3 was not made; empty when it was
    };

    // cancel is the job's flag: while waiting, a raised flag stops every encoder.
    EncoderQueue(Dialogs& dialogs, const std::atomic_bool& cancel, int capacity);
    // Stops the encoders still running and waits for them.
    ~EncoderQueue();
    EncoderQueue(const EncoderQueue&) = delete;
    EncoderQueue& operator=(const EncoderQueue&) = delete;

    bool isFull() const { return static_cast<int>(m_running.size()) >= m_capacity; }
    bool isEmpty() const { return m_running.empty(); }

    void start(int index, const QString& wavPath, const QString& mp3Path);
    // Waits for the oldest part (the queue must not be empty).
    Finished finishOldest();
    // Kills every running encoder; finishOldest then returns at once.
    void stopAll() { m_stop = true; }

  private:
    struct Running {
        Finished part;
        std::future<QString> outcome;
    };

    Dialogs& m_dialogs;
    const std::atomic_bool& m_cancel;
    int m_capacity;
    std::atomic_bool m_stop{false};
    std::deque<Running> m_running;
};

} // namespace vt
