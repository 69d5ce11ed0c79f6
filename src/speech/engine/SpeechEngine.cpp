#include "SpeechEngine.h"

#include "core/Failure.h"
#include "speech/SpeechLog.h"

#include <exception>

namespace vt {

SpeechEngine::SpeechEngine() = default;

SpeechEngine::~SpeechEngine() {
    // The subclass has stopped the worker already; this only covers a
    // subclass that never started it.
    stopWorker();
}

void SpeechEngine::startWorker() {
    m_worker.emplace();
    // The engine starts on its own thread while the caller goes on; the
    // first request waits behind the start.
    m_worker->post([this](std::stop_token) {
        try {
            startHook();
            m_started = true;
        } catch (const std::exception& failure) {
            m_startFailure = describe(failure);
            qCDebug(speechLog) << "speech engine did not start:" << m_startFailure;
        }
    });
}

void SpeechEngine::stopWorker() {
    if (!m_worker) {
        return;
    }
    m_worker->post([this](std::stop_token) {
        if (m_started) {
            stopHook();
            m_started = false;
        }
    });
    m_worker.reset(); // runs what is queued, then ends the thread
}

template <typename Result> Result SpeechEngine::call(std::function<Result()> work) {
    if (!m_worker) {
        throw Failure(QStringLiteral("The speech engine has not been started."));
    }
    return m_worker->call([&](std::stop_token) -> Result {
        if (!m_started) {
            throw Failure(m_startFailure);
        }
        return work();
    });
}

void SpeechEngine::checkStarted() {
    call<void>([] {});
}

VoiceListing SpeechEngine::listVoices(const QByteArray& language) {
    return call<VoiceListing>([&] { return listVoicesHook(language); });
}

bool SpeechEngine::synthesize(const QString& text, const SynthesisSettings& settings,
                              SampleReceiver& receiver, std::stop_token cancel) {
    if (cancel.stop_requested()) {
        return false;
    }
    QByteArray utf8 = text.toUtf8();
    utf8.replace('\0', ' '); // a NUL would end the text early
    return call<bool>([&] { return synthesizeHook(utf8, settings, receiver, cancel); });
}

void SpeechEngine::runOnEngineThread(const std::function<void()>& work) {
    call<bool>([&] {
        work();
        return true;
    });
}

} // namespace vt
