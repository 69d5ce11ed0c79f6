#pragma once

#include "SpeechEngine.h"

#include <QString>
#include <atomic>
#include <functional>

namespace vt {

class VoiceParameters;

// Speaks one text through the engine, chunk by chunk, into a receiver,
// following the voice parameters as they are at each chunk and stretching
// time below the engine's slowest rate.
class SpeechRenderer {
  public:
    SpeechRenderer(const VoiceParameters& parameters, SampleReceiver& output,
                   const std::atomic_bool* cancel);

    // Called before each chunk; may wait (for room in an audio queue).
    void setBeforeChunk(std::function<void()> beforeChunk);

    // Returns false when cancelled. Throws VoiceUnavailable or Failure.
    bool speak(const QString& text);

  private:
    const VoiceParameters& m_parameters;
    SampleReceiver& m_output;
    const std::atomic_bool* m_cancel;
    std::function<void()> m_beforeChunk;
};

} // namespace vt
