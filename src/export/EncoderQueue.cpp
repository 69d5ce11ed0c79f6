#include "EncoderQueue.h"

#include "WAVToMP3.h"
#include "core/Failure.h"

#include <chrono>

namespace vt {

namespace {
// How often a wait looks at the job's cancel flag.
constexpr std::chrono::milliseconds CancelCheckInterval{50};
} // namespace

EncoderQueue::EncoderQueue(Dialogs& dialogs, const std::atomic_bool& cancel, int capacity)
    : m_dialogs(dialogs), m_cancel(cancel), m_capacity(capacity < 1 ? 1 : capacity) {}

EncoderQueue::~EncoderQueue() {
    stopAll();
    while (!m_running.empty()) {
        finishOldest();
    }
}

void EncoderQueue::start(int index, const QString& wavPath, const QString& mp3Path) {
    Running entry;
    entry.part = {index, wavPath, mp3Path, QString()};
    entry.outcome = std::async(std::launch::async, [this, wavPath, mp3Path]() -> QString {
        try {
            WAVToMP3(wavPath, mp3Path, m_dialogs, &m_stop);
            return QString();
        } catch (const std::exception& e) {
            return describe(e);
        }
    });
    m_running.push_back(std::move(entry));
}

EncoderQueue::Finished EncoderQueue::finishOldest() {
    Running& oldest = m_running.front();
    while (oldest.outcome.wait_for(CancelCheckInterval) != std::future_status::ready) {
        if (m_cancel.load()) {
            m_stop = true;
        }
    }
    Finished done = oldest.part;
    done.failure = oldest.outcome.get();
    if (done.failure.isEmpty() && m_stop.load()) {
        done.failure = QStringLiteral("The encoding was stopped.");
    }
    m_running.pop_front();
    return done;
}

} // namespace vt
