#include "RenderProcedure.h"

#include "core/Dialogs.h"
#include "core/Failure.h"
#include "core/ProcedureTags.h"
#include "speech/SpeechLog.h"
#include "speech/engine/VoiceFailures.h"
#include "speech/synthesis/VoiceParameters.h"

#include <utility>

namespace vt {

QString voiceUnavailableNotice(const QString& description) {
    return description + QStringLiteral("\r\r") +
           QStringLiteral("Please try selecting another voice from the dropdown.");
}

RenderProcedure::RenderProcedure(Dialogs& dialogs, const VoiceCatalogue& voices)
    : m_dialogs(dialogs), m_voices(voices), m_steps(dialogs, tag::SaveToWAV) {}

bool RenderProcedure::prepareVoice(const VoiceChoice& choice) {
    // Without a voice the call ends.
    m_voice =
        setUpVoice(m_steps, RenderVoiceSteps, m_voices, choice,
                   [](const std::shared_ptr<VoiceParameters>& voice) { return voice != nullptr; });
    return m_voice != nullptr;
}

void RenderProcedure::setSpeechFailure(const std::exception& failure) {
    if (dynamic_cast<const DiskFullFailure*>(&failure) != nullptr) {
        noteDiskFull();
    }
    setSpeechFailure(speechFailureOf(failure));
}

void RenderProcedure::setSpeechFailure(const SpeechFailure& failure) {
    if (!m_speechFailure) {
        m_speechFailure = failure;
    }
}

std::optional<SpeechFailure> RenderProcedure::checkSpeechFailure() {
    if (m_speechFailure && m_speechFailure->voiceUnavailable) {
        m_steps.step(RenderStep::AskForAnotherVoice, [&] {
            noticeFailure(m_dialogs, speechLog(),
                          voiceUnavailableNotice(m_speechFailure->description));
        });
    }
    return std::exchange(m_speechFailure, std::nullopt);
}

} // namespace vt
