#include "SpeechRenderer.h"

#include "RateMapping.h"
#include "TextChunker.h"
#include "TimeStretcher.h"
#include "VoiceParameters.h"
#include "speech/voices/VoiceCatalogue.h"

#include <vector>

namespace vt {

namespace {

// Applies the volume to the samples: exactly linear, and a change is heard
// from the next block of audio on. The engine itself always speaks at its
// full volume, whose own scale is coarse at low values.
class VolumeStage final : public SampleReceiver {
  public:
    VolumeStage(const VoiceParameters& parameters, SampleReceiver& output)
        : m_parameters(parameters), m_output(output) {}

    void receive(const qint16* samples, qsizetype count) override {
        const int volume = m_parameters.volume();
        if (volume == MaximumVolume) {
            m_output.receive(samples, count);
            return;
        }
        m_scaled.resize(static_cast<std::size_t>(count));
        for (qsizetype i = 0; i < count; ++i) {
            m_scaled[static_cast<std::size_t>(i)] =
                static_cast<qint16>(samples[i] * volume / MaximumVolume);
        }
        m_output.receive(m_scaled.data(), count);
    }

  private:
    const VoiceParameters& m_parameters;
    SampleReceiver& m_output;
    std::vector<qint16> m_scaled;
};

} // namespace

SpeechRenderer::SpeechRenderer(const VoiceCatalogue& voices, const VoiceParameters& parameters,
                               SampleReceiver& output, std::stop_token cancel)
    : m_voices(voices), m_parameters(parameters), m_output(output), m_cancel(std::move(cancel)) {}

void SpeechRenderer::setBeforeChunk(std::function<void()> beforeChunk) {
    m_beforeChunk = std::move(beforeChunk);
}

bool SpeechRenderer::speak(const QString& text) {
    SpeechEngine& engine = m_voices.engine();
    QByteArray voice = m_parameters.voice();
    if (voice.isEmpty()) {
        voice = m_voices.defaultVoiceIdentifier();
    }
    VolumeStage volume(m_parameters, m_output);
    TimeStretcher stretcher(volume);
    for (const SpeechChunk& chunk : chunkForSpeech(text)) {
        if (m_beforeChunk) {
            m_beforeChunk();
        }
        if (m_cancel.stop_requested()) {
            return false;
        }
        const EngineRate rate = engineRateFor(m_parameters.rate());
        stretcher.setSpeed(rate.stretch);
        const SynthesisSettings settings{voice, rate.wordsPerMinute, MaximumVolume,
                                         !chunk.endsInsideSentence};
        if (!engine.synthesize(chunk.text.toString(), settings, stretcher, m_cancel)) {
            return false;
        }
    }
    stretcher.flush();
    return true;
}

} // namespace vt
