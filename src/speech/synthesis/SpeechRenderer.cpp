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

// Counts the samples given out, for the marks.
class CountingStage final : public SampleReceiver {
  public:
    explicit CountingStage(SampleReceiver& output) : m_output(output) {}

    void receive(const qint16* samples, qsizetype count) override {
        m_output.receive(samples, count);
        m_count += count;
    }
    qint64 count() const { return m_count; }

  private:
    SampleReceiver& m_output;
    qint64 m_count = 0;
};

} // namespace

SpeechRenderer::SpeechRenderer(const VoiceCatalogue& voices, const VoiceParameters& parameters,
                               SampleReceiver& output, std::stop_token cancel)
    : m_voices(voices), m_parameters(parameters), m_output(output), m_cancel(std::move(cancel)) {}

void SpeechRenderer::setBeforeChunk(std::function<void()> beforeChunk) {
    m_beforeChunk = std::move(beforeChunk);
}

void SpeechRenderer::setMarks(std::vector<qsizetype> offsets) {
    m_marks = std::move(offsets);
}

bool SpeechRenderer::speak(const QString& text) {
    SpeechEngine& engine = m_voices.engine();
    QByteArray voice = m_parameters.voice();
    if (voice.isEmpty()) {
        voice = m_voices.defaultVoiceIdentifier();
    }
    CountingStage counted(m_output);
    VolumeStage volume(m_parameters, counted);
    TimeStretcher stretcher(volume);
    m_markSamples.clear();
    std::vector<qsizetype> cuts;
    for (const qsizetype mark : m_marks) {
        cuts.push_back(qBound(qsizetype(0), mark, text.size()));
    }
    cuts.push_back(text.size());
    qsizetype from = 0;
    for (std::size_t piece = 0; piece < cuts.size(); ++piece) {
        if (piece > 0) {
            stretcher.flush(); // what is held back belongs before the mark
            m_markSamples.push_back(counted.count());
        }
        const QString section = text.mid(from, cuts[piece] - from);
        from = qMax(from, cuts[piece]);
        for (const SpeechChunk& chunk : chunkForSpeech(section)) {
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
    }
    stretcher.flush();
    return true;
}

} // namespace vt
