#pragma once

#include "core/Failure.h"

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

} // namespace vt
