#pragma once

#include <QString>
#include <atomic>
#include <memory>

namespace vt {

class VoiceParameters;

// How speaking aloud ended.
struct AloudOutcome {
    bool failed = false;
    QString description;
    bool voiceUnavailable = false;
};

// Speaks text through the audio output with the given voice and waits until
// it has been heard. Called from a worker thread: the playing itself happens
// on the window thread. Throws Failure at once when there is no audio output.
AloudOutcome speakAloudAndWait(const QString& text, const std::shared_ptr<VoiceParameters>& voice,
                               const std::atomic_bool* cancel);

} // namespace vt
