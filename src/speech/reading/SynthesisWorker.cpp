#include "SynthesisWorker.h"

#include "PcmQueue.h"
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
      m_events(std::move(events)) {}

SynthesisWorker::~SynthesisWorker() {
    m_worker.requestStop();
    m_audio.abort();
    // m_worker, destroyed first, waits for its thread; the pieces still
    // queued see the stop and are dropped.
}

void SynthesisWorker::enqueue(const QString& text, std::vector<qsizetype> marks, bool textGoesOn) {
    m_worker.post([this, piece = Piece{text, std::move(marks), textGoesOn}](
                      std::stop_token cancel) mutable { take(std::move(piece), cancel); });
}

void SynthesisWorker::take(Piece piece, std::stop_token cancel) {
    if (cancel.stop_requested()) {
        return;
    }
    // The word a cut fell in waits for the rest of it in the next piece:
    // marks and chunk offsets still count in the piece as queued.
    const qsizetype waiting = m_join.waitingLength();
    PieceJoin::Speech speech = m_join.next(piece.text, piece.textGoesOn);
    for (qsizetype& mark : piece.marks) {
        mark += waiting;
    }
    piece.text = std::move(speech.text);
    const PieceResult result = speakPiece(piece, waiting, speech.sentenceGoesOn, cancel);
    if (cancel.stop_requested()) {
        return;
    }
    m_events.pieceFinished(result);
}

SynthesisWorker::PieceResult SynthesisWorker::speakPiece(const Piece& piece, qsizetype shift,
                                                         bool sentenceGoesOn,
                                                         std::stop_token cancel) {
    QueueReceiver receiver(m_audio, m_events.audioAvailable, m_samplesGiven);
    SpeechRenderer renderer(m_voices, *m_parameters, receiver, std::move(cancel));
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
