#pragma once

#include "core/SerialWorker.h"
#include "speech/engine/VoiceFailures.h"
#include "speech/reading/PieceJoin.h"
#include "speech/voices/VoiceCatalogue.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <vector>

namespace vt {

class PcmQueue;
class VoiceParameters;

// The thread a reading voice synthesises on: it takes the queued pieces in
// order and speaks each into the audio queue, waiting while that is full.
class SynthesisWorker {
  public:
    // Empty when the piece was spoken.
    using PieceResult = std::optional<SpeechFailure>;
    // Where the speech stands: the chunk at that character offset of the
    // piece (numbered from 0 in the order queued) is spoken from that sample
    // of the audio on (counted from the worker's first sample).
    struct ChunkStart {
        qint64 sample = 0;
        int piece = 0;
        qsizetype offset = 0;
    };
    // All are called on the worker thread.
    struct Events {
        std::function<void()> audioAvailable;
        std::function<void(const PieceResult&)> pieceFinished;
        std::function<void(const ChunkStart&)> chunkStarted;
    };

    SynthesisWorker(const VoiceCatalogue& voices, std::shared_ptr<const VoiceParameters> parameters,
                    PcmQueue& audio, Events events);
    // Cancels what is under way and waits for the thread, which takes at most
    // one engine block.
    ~SynthesisWorker();
    SynthesisWorker(const SynthesisWorker&) = delete;
    SynthesisWorker& operator=(const SynthesisWorker&) = delete;

    // marks: offsets in text where a chunk must begin (sorted), so a
    // position there is reported exactly. textGoesOn: the next piece goes on
    // with this one's text, perhaps in the middle of a word.
    void enqueue(const QString& text, std::vector<qsizetype> marks = {}, bool textGoesOn = false);

  private:
    struct Piece {
        QString text;
        std::vector<qsizetype> marks;
        bool textGoesOn = false;
    };
    void take(Piece piece, std::stop_token cancel);
    // shift: how many characters of the previous piece the text starts with.
    PieceResult speakPiece(const Piece& piece, qsizetype shift, bool sentenceGoesOn,
                           std::stop_token cancel);

    const VoiceCatalogue m_voices;
    std::shared_ptr<const VoiceParameters> m_parameters;
    PcmQueue& m_audio;
    Events m_events;
    PieceJoin m_join;          // on the worker thread only
    int m_piecesTaken = 0;     // on the worker thread only
    qint64 m_samplesGiven = 0; // on the worker thread only
    SerialWorker m_worker;     // last: it ends before what it uses goes
};

} // namespace vt
