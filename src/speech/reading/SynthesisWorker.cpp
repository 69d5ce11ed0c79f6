#include "SynthesisWorker.h"

#include "PcmQueue.h"
#include "speech/engine/VoiceFailures.h"
#include "speech/synthesis/SpeechRenderer.h"

namespace vt {

namespace {

class QueueReceiver final : public SampleReceiver {
  public:
    QueueReceiver(PcmQueue& queue, const std::function<void()>& audioAvailable)
        : m_queue(queue), m_audioAvailable(audioAvailable) {}
    void receive(const qint16* samples, qsizetype count) override {
        m_queue.push(samples, count);
        m_audioAvailable();
    }

  private:
    PcmQueue& m_queue;
    const std::function<void()>& m_audioAvailable;
};

} // namespace

SynthesisWorker::SynthesisWorker(const VoiceCatalogue& voices,
                                 std::shared_ptr<const VoiceParameters> parameters, PcmQueue& audio,
                                 Events events)
    : m_voices(voices), m_parameters(std::move(parameters)), m_audio(audio),
      m_events(std::move(events)), m_thread([this] { run(); }) {}

SynthesisWorker::~SynthesisWorker() {
    {
        std::lock_guard lock(m_mutex);
        m_cancel.request_stop();
    }
    m_wake.notify_all();
    m_audio.abort();
    m_thread.join();
}

void SynthesisWorker::enqueue(const QString& text) {
    {
        std::lock_guard lock(m_mutex);
        m_pieces.push_back(text);
    }
    m_wake.notify_all();
}

void SynthesisWorker::run() {
    for (;;) {
        QString piece;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [&] { return m_cancel.stop_requested() || !m_pieces.empty(); });
            if (m_cancel.stop_requested()) {
                return;
            }
            piece = std::move(m_pieces.front());
            m_pieces.pop_front();
        }
        const PieceResult result = speakPiece(piece);
        if (m_cancel.stop_requested()) {
            return;
        }
        m_events.pieceFinished(result);
    }
}

SynthesisWorker::PieceResult SynthesisWorker::speakPiece(const QString& text) {
    QueueReceiver receiver(m_audio, m_events.audioAvailable);
    SpeechRenderer renderer(m_voices, *m_parameters, receiver, m_cancel.get_token());
    renderer.setBeforeChunk([&] { m_audio.waitForRoom(); });
    try {
        renderer.speak(text);
        return {};
    } catch (const VoiceUnavailable& failure) {
        return {true, failure.description(), true};
    } catch (const std::exception& failure) {
        return {true, describe(failure), false};
    }
}

} // namespace vt
