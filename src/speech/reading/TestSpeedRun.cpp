#include "TestSpeedRun.h"

#include "SpeechVoice.h"
#include "speech/SpeechLog.h"
#include "speech/wav/RenderProcedure.h"

namespace vt {

TestSpeedRun::TestSpeedRun(QObject* parent) : QObject(parent) {}

TestSpeedRun::~TestSpeedRun() = default;

void TestSpeedRun::start(const VoiceChoice& choice, const VoiceCatalogue& voices,
                         Dialogs& dialogs) {
    if (m_running) {
        return;
    }
    m_running = true;
    qCDebug(speechLog) << "speed test: voice" << choice.position << "volume" << choice.volume
                       << "rate" << choice.rate;
    m_run = std::make_unique<RenderProcedure>(dialogs, voices);
    if (!m_run->prepareVoice(choice)) {
        endSoon();
        return;
    }
    // The sentence goes to the audio output.
    const bool speaking = m_run->steps().step(RenderStep::SpeakAloud, [&] {
        auto voice = std::make_unique<SpeechVoice>(m_run->voices(), m_run->voice());
        connect(voice.get(), &SpeechVoice::done, this, &TestSpeedRun::onSpoken);
        voice->speak(sentence());
        m_voice = std::move(voice);
    });
    if (!speaking) {
        // Reported (for instance: no audio output); the run ends.
        m_run->releaseVoice();
        m_run->checkSpeechFailure();
        endSoon();
    }
}

void TestSpeedRun::onSpoken() {
    if (const auto& failure = m_voice->firstFailure()) {
        m_run->setSpeechFailure(*failure);
    } else {
        m_run->releaseVoice();
    }
    m_run->checkSpeechFailure();
    // done() is being emitted by the voice: delete it afterwards.
    m_voice.release()->deleteLater();
    m_running = false;
    emit finished();
}

void TestSpeedRun::endSoon() {
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_running = false;
            emit finished();
        },
        Qt::QueuedConnection);
}

} // namespace vt
