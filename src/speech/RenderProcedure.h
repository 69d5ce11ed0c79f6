#pragma once

#include "VoiceChoice.h"
#include "core/ErrorReport.h"

#include <QString>
#include <exception>
#include <memory>
#include <optional>

namespace vt {

class Dialogs;
class VoiceParameters;

// What rendering to a WAV file and speaking aloud have in common: the voice
// set-up at the start and the speech failure check at the end, under the
// renderer's report tag.
class RenderProcedure {
  public:
    explicit RenderProcedure(Dialogs& dialogs);

    // Steps 100 to 110: create the voice, choose it by list position, set
    // volume and rate. False when no voice could be created (the call ends).
    bool prepareVoice(const VoiceChoice& choice);

    Procedure& steps() { return m_steps; }
    const std::shared_ptr<VoiceParameters>& voice() const { return m_voice; }

    // Remembers a failure of the speaking itself, for the check at the end.
    void setSpeechFailure(const std::exception& failure);
    void setSpeechFailure(const QString& description, bool voiceUnavailable);
    bool speechFailed() const { return m_speechFailure.has_value(); }

    // Step 138.
    void releaseVoice();
    // Steps 140 to 146: a voice that cannot run gets its notice; any other
    // speech failure is dropped.
    void checkSpeechFailure();

  private:
    struct SpeechFailure {
        QString description;
        bool voiceUnavailable = false;
    };

    Dialogs& m_dialogs;
    Procedure m_steps;
    std::shared_ptr<VoiceParameters> m_voice;
    std::optional<SpeechFailure> m_speechFailure;
};

// The notice for a voice that cannot run.
QString voiceUnavailableNotice(const QString& description);

} // namespace vt
