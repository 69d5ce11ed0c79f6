#pragma once

#include "WAVToMP3.h"

#include <QFuture>
#include <QString>
#include <QThread>
#include <deque>
#include <functional>
#include <optional>
#include <stop_token>

namespace vt {

// Encodes WAV parts to MP3 as child processes, at most `capacity` at a time,
// so the caller (the export's worker thread) can render the next part
// meanwhile. The children belong to a thread of the queue's own whose event
// loop hears them end. Parts finish in the order they were started.
class EncoderQueue {
  public:
    struct Finished {
        int index = 0;
        QString wavPath;
        QString mp3Path;
        QString failure; // why the MP3 was not made; empty when it was
    };

    // cancel is the job's: a stop request kills every encoder.
    EncoderQueue(std::stop_token cancel, int capacity);
    // Kills the encoders still running and waits for them to end.
    ~EncoderQueue();
    EncoderQueue(const EncoderQueue&) = delete;
    EncoderQueue& operator=(const EncoderQueue&) = delete;

    bool isFull() const { return static_cast<int>(m_running.size()) >= m_capacity; }
    bool isEmpty() const { return m_running.empty(); }

    void start(int index, const QString& wavPath, const QString& mp3Path);
    // Waits for the oldest part (the queue must not be empty).
    Finished finishOldest();
    // Kills every running encoder; finishOldest then returns soon.
    void stopAll() { m_stop.request_stop(); }

  private:
    struct Running {
        Finished part;
        QFuture<EncodeResult> outcome;
    };

    int m_capacity;
    std::stop_source m_stop;
    std::optional<std::stop_callback<std::function<void()>>> m_forwardCancel;
    QThread m_processThread;
    QObject* m_processHome = nullptr; // lives on m_processThread
    std::deque<Running> m_running;
};

} // namespace vt
