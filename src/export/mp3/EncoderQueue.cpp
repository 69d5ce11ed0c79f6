#include "EncoderQueue.h"

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
    // The child is started on the queue's thread, which owns it from then on.
    QFuture<EncodeResult> outcome;
    QMetaObject::invokeMethod(
        m_processHome, [&] { return WAVToMP3(wavPath, mp3Path, m_stop.get_token()); },
        Qt::BlockingQueuedConnection, &outcome);
    m_running.push_back(Running{{index, wavPath, mp3Path, QString()}, outcome});
}

EncoderQueue::Finished EncoderQueue::finishOldest() {
    Running oldest = std::move(m_running.front());
    m_running.pop_front();
    const EncodeResult result = oldest.outcome.result(); // blocks this worker thread only
    Finished done = oldest.part;
    done.failure = result.failure;
    if (done.failure.isEmpty() && (result.cancelled || m_stop.stop_requested())) {
        done.failure = QStringLiteral("The encoding was stopped.");
    }
    return done;
}

} // namespace vt
