#include "SpeechEngine.h"

#include "core/Failure.h"
#include "speech/SpeechLog.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <type_traits>

namespace vt {

SpeechEngine::SpeechEngine() = default;

SpeechEngine::~SpeechEngine() {
    // The subclass has stopped the worker already; this only covers a
    // subclass that never started it.
    stopWorker();
}

void SpeechEngine::startWorker() {
    m_worker = std::thread([this] { run(); });
    // The engine starts on its own thread while the caller goes on; the
    // first request waits behind the start.
    post([this] {
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
    if (!m_worker.joinable()) {
        return;
    }
    post([this] {
        if (m_started) {
            stopHook();
            m_started = false;
        }
    });
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_worker.join();
}

void SpeechEngine::post(std::function<void()> request) {
    {
        std::lock_guard lock(m_mutex);
        m_requests.push_back(std::move(request));
    }
    m_wake.notify_all();
}

void SpeechEngine::run() {
    for (;;) {
        std::function<void()> request;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [&] { return m_stopping || !m_requests.empty(); });
            if (m_requests.empty()) {
                return; // stopping, and everything asked for is done
            }
            request = std::move(m_requests.front());
            m_requests.pop_front();
        }
        request();
    }
}

namespace {

// One request's answer, handed from the engine thread to the waiting caller.
// A mutex and a condition variable rather than std::promise: a std::future
// waits inside libstdc++, where ThreadSanitizer cannot see the hand-over.
template <typename Result> class Answer {
  public:
    template <typename Work> void produce(Work& work) {
        try {
            if constexpr (std::is_void_v<Result>) {
                work();
            } else {
                m_value.emplace(work());
            }
        } catch (...) {
            m_failure = std::current_exception();
        }
        const std::lock_guard lock(m_mutex);
        m_ready = true;
        m_answered.notify_one();
    }

    Result take() {
        std::unique_lock lock(m_mutex);
        m_answered.wait(lock, [this] { return m_ready; });
        if (m_failure) {
            std::rethrow_exception(m_failure);
        }
        if constexpr (!std::is_void_v<Result>) {
            return std::move(*m_value);
        }
    }

  private:
    std::mutex m_mutex;
    std::condition_variable m_answered;
    bool m_ready = false;
    std::conditional_t<std::is_void_v<Result>, bool, std::optional<Result>> m_value{};
    std::exception_ptr m_failure;
};

} // namespace

template <typename Result> Result SpeechEngine::call(std::function<Result()> work) {
    if (!m_worker.joinable()) {
        throw Failure(QStringLiteral("The speech engine has not been started."));
    }
    Answer<Result> answer;
    post([&] {
        const auto checkedWork = [&]() -> Result {
            if (!m_started) {
                throw Failure(m_startFailure);
            }
            return work();
        };
        answer.produce(checkedWork);
    });
    return answer.take();
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

QString SpeechEngine::phonemes(const QString& text, const QByteArray& voiceIdentifier) {
    QByteArray utf8 = text.toUtf8();
    utf8.replace('\0', ' ');
    return call<QString>([&] { return phonemesHook(utf8, voiceIdentifier); });
}

} // namespace vt
