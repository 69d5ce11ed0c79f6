#pragma once

#include "core/ErrorReport.h"
#include "speech/engine/VoiceFailures.h"
#include "speech/voices/VoiceCatalogue.h"
#include "speech/voices/VoiceChoice.h"
#include "speech/voices/VoiceSetUp.h"

#include <QString>
#include <exception>
#include <memory>
#include <optional>

namespace vt {

class Dialogs;
class VoiceParameters;

// The renderer's steps, numbered as its error report shows them. Rendering
// to a WAV file and the speed test share them.
enum class RenderStep {
    // Into a WAV file, or aloud.
    OpenFile = 120,
    CloseFile = 128,
    SpeakAloud = 136,
    // A voice that cannot run.
    AskForAnotherVoice = 144
};

// The voice, as chosen.
inline constexpr VoiceSetUpSteps RenderVoiceSteps{100, 106, 108, 110};

// What rendering to a WAV file and speaking aloud have in common: the voice
// set-up at the start and the speech failure check at the end, under the
// renderer's report tag.
class RenderProcedure {
  public:
    // voices names the engine and the list the choice's position refers to.
    RenderProcedure(Dialogs& dialogs, const VoiceCatalogue& voices);

    // Create the voice, choose it by list position, set volume and rate.
    // False when no voice could be created (the call ends).
    bool prepareVoice(const VoiceChoice& choice);

    Procedure& steps() { return m_steps; }
    const VoiceCatalogue& voices() const { return m_voices; }
    const std::shared_ptr<VoiceParameters>& voice() const { return m_voice; }

    // Remembers a failure of the speaking itself, for the check at the end.
    void setSpeechFailure(const std::exception& failure);
    void setSpeechFailure(const SpeechFailure& failure);
    bool speechFailed() const { return m_speechFailure.has_value(); }
    const std::optional<SpeechFailure>& speechFailure() const { return m_speechFailure; }
    // A write that found the disk full; the check at the end keeps it.
    void noteDiskFull() { m_diskFull = true; }
    bool diskFull() const { return m_diskFull; }

    void releaseVoice() { m_voice.reset(); }
    // A voice that cannot run gets its notice; any other speech failure is dropped.
    // Returns the failure it checked.
    std::optional<SpeechFailure> checkSpeechFailure();

  private:
    Dialogs& m_dialogs;
    const VoiceCatalogue m_voices;
    Procedure m_steps;
    std::shared_ptr<VoiceParameters> m_voice;
    std::optional<SpeechFailure> m_speechFailure;
    bool m_diskFull = false;
};

// The notice for a voice that cannot run.
QString voiceUnavailableNotice(const QString& description);

} // namespace vt
