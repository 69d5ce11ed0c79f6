#include "AloudSpeech.h"

#include "SpeechVoice.h"
#include "VoiceFailures.h"
#include "core/Failure.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace vt {

namespace {

// Shared between the waiting worker and the window thread that plays.
struct AloudWait {
    std::mutex mutex;
    std::condition_variable ended;
    bool finished = false;
    AloudOutcome outcome;
    QPointer<SpeechVoice> voice; // touched on the window thread only

    void finish(const AloudOutcome& result) {
        {
            std::lock_guard lock(mutex);
            if (finished) {
                return;
            }
            finished = true;
            outcome = result;
        }
        ended.notify_all();
    }
};

AloudOutcome outcomeOf(const SpeechVoice& voice) {
    if (const auto& failure = voice.firstFailure()) {
        return {true, failure->description, failure->voiceUnavailable};
    }
    return {};
}

} // namespace

AloudOutcome speakAloudAndWait(const QString& text, const std::shared_ptr<VoiceParameters>& voice,
                               const std::atomic_bool* cancel) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) {
        throw Failure(QStringLiteral("Speaking aloud needs the running application."));
    }
    if (QThread::currentThread() == app->thread()) {
        throw Failure(QStringLiteral("Speaking aloud and waiting for the end would stop the "
                                     "window; the speed test speaks without waiting."));
    }
    auto wait = std::make_shared<AloudWait>();
    QString startFailure;
    QMetaObject::invokeMethod(
        app,
        [&] {
            try {
                auto* speaker = new SpeechVoice(voice);
                QObject::connect(speaker, &SpeechVoice::done, speaker, [speaker, wait] {
                    wait->finish(outcomeOf(*speaker));
                    speaker->deleteLater();
                });
                wait->voice = speaker;
                try {
                    speaker->speak(text);
                } catch (...) {
                    delete speaker;
                    throw;
                }
            } catch (const std::exception& failure) {
                startFailure = describe(failure);
            }
        },
        Qt::BlockingQueuedConnection);
    if (!startFailure.isEmpty()) {
        throw Failure(startFailure);
    }

    std::unique_lock lock(wait->mutex);
    while (!wait->finished) {
        if (cancel && cancel->load()) {
            lock.unlock();
            QMetaObject::invokeMethod(
                app,
                [wait] {
                    delete wait->voice.data();
                    wait->finish({true, SpeechCancelled().description(), false});
                },
                Qt::QueuedConnection);
            lock.lock();
            wait->ended.wait(lock, [&] { return wait->finished; });
            break;
        }
        // The flag is looked at now and then; the end itself wakes at once.
        wait->ended.wait_for(lock, std::chrono::milliseconds(100));
    }
    return wait->outcome;
}

} // namespace vt
