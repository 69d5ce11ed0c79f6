#pragma once

#include "speech/engine/SpeechEngine.h"

#include <QString>
#include <functional>
#include <stop_token>
#include <vector>

namespace vt {

class VoiceCatalogue;
class VoiceParameters;

// Speaks one text through the catalogue's engine, chunk by chunk, into a
// receiver, following the voice parameters as they are at each chunk and
// stretching time below the engine's slowest rate. No voice chosen means the
// catalogue's default voice.
class SpeechRenderer {
  public:
    SpeechRenderer(const VoiceCatalogue& voices, const VoiceParameters& parameters,
                   SampleReceiver& output, std::stop_token cancel);

    // Called before each chunk; may wait (for room in an audio queue).
    void setBeforeChunk(std::function<void()> beforeChunk);

    // Character offsets of the next text where a sample position is wanted
    // (sorted). Each one starts a piece of its own, cut where the engine
    // pauses anyway when it stands at a line start.
    void setMarks(std::vector<qsizetype> offsets);
    // After speak: for each mark, the number of samples given out before it.
    const std::vector<qint64>& markSamples() const { return m_markSamples; }

    // Returns false when cancelled. Throws VoiceUnavailable or Failure.
    bool speak(const QString& text);

  private:
    const VoiceCatalogue& m_voices;
    const VoiceParameters& m_parameters;
    SampleReceiver& m_output;
    std::stop_token m_cancel;
    std::function<void()> m_beforeChunk;
    std::vector<qsizetype> m_marks;
    std::vector<qint64> m_markSamples;
};

} // namespace vt
