#include "RenderProcedure.h"

#include "core/Dialogs.h"
#include "core/Failure.h"
#include "core/ProcedureTags.h"
#include "speech/engine/VoiceFailures.h"
#include "speech/synthesis/VoiceParameters.h"

namespace vt {

QString voiceUnavailableNotice(const QString& description) {
    return description + QStringLiteral("\r\r") +
           QStringLiteral("Please try selecting another voice from the dropdown.");
}

RenderProcedure::RenderProcedure(Dialogs& dialogs, const VoiceCatalogue& voices)
    : m_dialogs(dialogs), m_voices(voices), m_steps(dialogs, tag::SaveToWAV) {}

bool RenderProcedure::prepareVoice(const VoiceChoice& choice) {
    m_steps.step(RenderStep::CreateVoice, [&] {
        m_voices.engine().checkStarted();
        m_voice = std::make_shared<VoiceParameters>();
    });
    if (!m_voice) {
        return false;
    }
    if (choice.position != -1) {
        m_steps.step(RenderStep::ChooseVoice,
                     [&] { m_voice->setVoice(m_voices.voiceAt(choice.position).identifier); });
    }
    m_steps.step(RenderStep::SetVolume, [&] { m_voice->setVolume(choice.volume); });
    m_steps.step(RenderStep::SetRate, [&] { m_voice->setRate(choice.rate); });
    return true;
}

void RenderProcedure::setSpeechFailure(const std::exception& failure) {
    if (dynamic_cast<const DiskFullFailure*>(&failure) != nullptr) {
        noteDiskFull();
    }
    setSpeechFailure(describe(failure), dynamic_cast<const VoiceUnavailable*>(&failure) != nullptr);
}

void RenderProcedure::setSpeechFailure(const QString& description, bool voiceUnavailable) {
    if (!m_speechFailure) {
        m_speechFailure = SpeechFailure{description, voiceUnavailable};
    }
}

void RenderProcedure::checkSpeechFailure() {
    if (m_speechFailure && m_speechFailure->voiceUnavailable) {
        m_steps.step(RenderStep::AskForAnotherVoice, [&] {
            m_dialogs.notice(voiceUnavailableNotice(m_speechFailure->description));
        });
    }
    m_speechFailure.reset();
}

} // namespace vt
