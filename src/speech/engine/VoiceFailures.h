#pragma once

#include "core/Failure.h"

#include <QString>

namespace vt {

// A voice that is listed but whose engine cannot run (its data is missing or
// the engine refuses it). Rendering answers it by asking the user to choose
// another voice.
class VoiceUnavailable : public Failure {
  public:
    using Failure::Failure;
};

// Speech that was stopped on purpose before it ended.
class SpeechCancelled : public Failure {
  public:
    SpeechCancelled() : Failure(QStringLiteral("Speaking was cancelled.")) {}
};

// What went wrong in speaking, as every stage of speech reports it.
struct SpeechFailure {
    QString description;
    bool voiceUnavailable = false; // answered by asking for another voice
};

inline SpeechFailure speechFailureOf(const std::exception& failure) {
    return {describe(failure), dynamic_cast<const VoiceUnavailable*>(&failure) != nullptr};
}

} // namespace vt
