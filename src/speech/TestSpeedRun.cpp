#include "TestSpeedRun.h"

#include "FileVoice.h"
#include "RenderProcedure.h"
#include "SpeechVoice.h"

namespace vt {

TestSpeedRun::TestSpeedRun(QObject* parent) : QObject(parent) {}

TestSpeedRun::~TestSpeedRun() {
    m_voice.reset();
    if (m_run) {
        FileVoice::release(m_run->voice());
    }
}

void TestSpeedRun::start(const VoiceChoice& choice, Dialogs& dialogs) {
    if (m_running) {
        return;
    }
    m_running = true;
    m_run = std::make_unique<RenderProcedure>(dialogs);
    if (!m_run->prepareVoice(choice)) {
        endSoon();
        return;
    }
    // Without a WAV path the sentence goes to the audio output (step 136).
    const bool speaking = m_run->steps().step(136, [&] {
        auto voice = std::make_unique<SpeechVoice>(m_run->voice());
        connect(voice.get(), &SpeechVoice::done, this, &TestSpeedRun::onSpoken);
        voice->speak(sentence());
        m_voice = std::move(voice);
    });
    if (!speaking) {
        // Reported at 136 (for instance: no audio output); the run ends.
        m_run->releaseVoice();
        m_run->checkSpeechFailure();
        endSoon();
    }
}

void TestSpeedRun::onSpoken() {
    if (const auto& failure = m_voice->firstFailure()) {
        m_run->setSpeechFailure(failure->description, failure->voiceUnavailable);
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
