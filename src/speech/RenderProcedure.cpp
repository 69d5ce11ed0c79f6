#include "RenderProcedure.h"

#include "FileVoice.h"
#include "SpeechEngine.h"
#include "VoiceCatalogue.h"
#include "VoiceFailures.h"
#include "VoiceParameters.h"
#include "core/Dialogs.h"
#include "core/ProcedureTags.h"

namespace vt {

QString voiceUnavailableNotice(const QString& description) {
    return description + QStringLiteral("\r\r") +
           QStringLiteral("Please try selecting another voice from the dropdown.");
}

RenderProcedure::RenderProcedure(Dialogs& dialogs)
    : m_dialogs(dialogs), m_steps(dialogs, tag::SaveToWAV) {}

bool RenderProcedure::prepareVoice(const VoiceChoice& choice) {
    m_steps.step(100, [&] {
        SpeechEngine::instance();
        m_voice = FileVoice::create();
    });
    if (!m_steps.test(102, [&] { return m_voice != nullptr; }) || !m_voice) {
        return false;
    }
    if (m_steps.test(104, [&] { return choice.position != -1; })) {
        m_steps.step(
            106, [&] { m_voice->setVoice(VoiceCatalogue::voiceAt(choice.position).identifier); });
    }
    m_steps.step(108, [&] { m_voice->setVolume(choice.volume); });
    m_steps.step(110, [&] { m_voice->setRate(choice.rate); });
    return true;
}

void RenderProcedure::setSpeechFailure(const std::exception& failure) {
    setSpeechFailure(describe(failure), dynamic_cast<const VoiceUnavailable*>(&failure) != nullptr);
}

void RenderProcedure::setSpeechFailure(const QString& description, bool voiceUnavailable) {
    if (!m_speechFailure) {
        m_speechFailure = SpeechFailure{description, voiceUnavailable};
    }
}

void RenderProcedure::releaseVoice() {
    m_steps.step(138, [&] {
        FileVoice::release(m_voice);
        m_voice.reset();
    });
}

void RenderProcedure::checkSpeechFailure() {
    if (!m_steps.test(140, [&] { return m_speechFailure.has_value(); })) {
        return;
    }
    if (m_speechFailure && m_steps.test(142, [&] { return m_speechFailure->voiceUnavailable; })) {
        m_steps.step(
            144, [&] { m_dialogs.notice(voiceUnavailableNotice(m_speechFailure->description)); });
    }
    m_steps.step(146, [&] { m_speechFailure.reset(); });
}

} // namespace vt
