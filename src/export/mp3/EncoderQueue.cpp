#include "EncoderQueue.h"

#include <QPromise>
#include <memory>

namespace vt {

EncoderQueue::EncoderQueue(std::stop_token cancel, int capacity)
    : m_capacity(capacity < 1 ? 1 : capacity) {
    m_forwardCancel.emplace(std::move(cancel), [this] { m_stop.request_stop(); });
    m_processThread.setObjectName(QStringLiteral("encoders"));
    m_processHome = new QObject;
    m_processHome->moveToThread(&m_processThread);
    QObject::connect(&m_processThread, &QThread::finished, m_processHome, &QObject::deleteLater);
    m_processThread.start();
}

EncoderQueue::~EncoderQueue() {
    stopAll();
    while (!m_running.empty()) {
        finishOldest();
    }
    m_forwardCancel.reset();
    m_processThread.quit();
    m_processThread.wait();
}

void EncoderQueue::start(int index, const QString& wavPath, const QString& mp3Path) {
    // The child is started on the queue's thread, which owns it from then on;
    // its outcome is forwarded to a future this thread can wait on, so
    // starting it does not wait for that thread.
    auto forward = std::make_shared<QPromise<EncodeResult>>();
    forward->start();
    QFuture<EncodeResult> outcome = forward->future();
    QObject* home = m_processHome;
    QMetaObject::invokeMethod(
        home,
        [home, forward, wavPath, mp3Path, stop = m_stop.get_token()] {
            WAVToMP3(wavPath, mp3Path, stop).then(home, [forward](QFuture<EncodeResult> done) {
                forward->addResult(
                    done.resultCount() > 0
                        ? done.result()
                        : EncodeResult{true, QStringLiteral("The encoding was stopped.")});
                forward->finish();
            });
        },
        Qt::QueuedConnection);
    m_running.push_back(Running{{index, wavPath, mp3Path, QString()}, outcome});
}

EncoderQueue::Finished EncoderQueue::finishOldest() {
    Running oldest = std::move(m_running.front());
    m_running.pop_front();
    oldest.outcome.waitForFinished(); // blocks this worker thread only
    // No result: the encoder's thread ended before it could say (a thrown failure).
    const EncodeResult result =
        oldest.outcome.resultCount() > 0
            ? oldest.outcome.result()
            : EncodeResult{false, QStringLiteral("The encoder ended without a result.")};
    Finished done = oldest.part;
    done.failure = result.failure;
    if (done.failure.isEmpty() && (result.cancelled || m_stop.stop_requested())) {
        done.failure = QStringLiteral("The encoding was stopped.");
    }
    return done;
}

} // namespace vt
