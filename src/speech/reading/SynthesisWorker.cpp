#include "SynthesisWorker.h"

#include "PcmQueue.h"
#include "PieceJoin.h"
#include "speech/engine/VoiceFailures.h"
#include "speech/synthesis/SpeechRenderer.h"

namespace vt {

namespace {

class QueueReceiver final : public SampleReceiver {
  public:
    QueueReceiver(PcmQueue& queue, const std::function<void()>& audioAvailable, qint64& given)
        : m_queue(queue), m_audioAvailable(audioAvailable), m_given(given) {}
    void receive(const qint16* samples, qsizetype count) override {
        m_queue.push(samples, count);
        m_given += count;
        m_audioAvailable();
    }

  private:
    PcmQueue& m_queue;
    const std::function<void()>& m_audioAvailable;
    qint64& m_given;
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

void SynthesisWorker::enqueue(const QString& text, std::vector<qsizetype> marks, bool textGoesOn) {
    {
        std::lock_guard lock(m_mutex);
        m_pieces.push_back({text, std::move(marks), textGoesOn});
    }
    m_wake.notify_all();
}

void SynthesisWorker::run() {
    PieceJoin join;
    for (;;) {
        Piece piece;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [&] { return m_cancel.stop_requested() || !m_pieces.empty(); });
            if (m_cancel.stop_requested()) {
                return;
            }
            piece = std::move(m_pieces.front());
            m_pieces.pop_front();
        }
        // The word a cut fell in waits for the rest of it in the next piece:
        // marks and chunk offsets still count in the piece as queued.
        const qsizetype waiting = join.waitingLength();
        PieceJoin::Speech speech = join.next(piece.text, piece.textGoesOn);
        for (qsizetype& mark : piece.marks) {
            mark += waiting;
        }
        piece.text = std::move(speech.text);
        const PieceResult result = speakPiece(piece, waiting, speech.sentenceGoesOn);
        if (m_cancel.stop_requested()) {
            return;
        }
        m_events.pieceFinished(result);
    }
}

SynthesisWorker::PieceResult SynthesisWorker::speakPiece(const Piece& piece, qsizetype shift,
                                                         bool sentenceGoesOn) {
    QueueReceiver receiver(m_audio, m_events.audioAvailable, m_samplesGiven);
    SpeechRenderer renderer(m_voices, *m_parameters, receiver, m_cancel.get_token());
    renderer.setBeforeChunk([&] { m_audio.waitForRoom(); });
    const int number = m_piecesTaken++;
    if (m_events.chunkStarted) {
        renderer.setChunkStarts([&, number, shift](qsizetype offset) {
            m_events.chunkStarted({m_samplesGiven, number, qMax(qsizetype(0), offset - shift)});
        });
    }
    renderer.setMarks(piece.marks);
    renderer.setSentenceGoesOn(sentenceGoesOn);
    try {
        renderer.speak(piece.text);
        return std::nullopt;
    } catch (const std::exception& failure) {
        return speechFailureOf(failure);
    }
}

} // namespace vt
