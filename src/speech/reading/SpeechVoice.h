#pragma once

#include "speech/engine/VoiceFailures.h"
#include "speech/voices/VoiceCatalogue.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <atomic>
#include <memory>
#include <optional>
#include <vector>

namespace vt {

class AudioOutput;
class PcmQueue;
class SynthesisWorker;
class VoiceParameters;

// The reading voice. Lives on the window thread (or any thread with an event
// loop) and never blocks it: pieces are synthesised in order on the voice's
// own thread and played through the default audio output as they come.
class SpeechVoice : public QObject {
    Q_OBJECT
  public:
    // A place in the queued speech: the chunk at that character offset of a
    // piece (numbered from 0 in the order queued since the voice began or was
    // last cleared) is heard from that sample on.
    struct Position {
        int piece = 0;
        qsizetype offset = 0;
        qint64 sample = 0;
    };

    // Speaks with the catalogue's engine; a position names a voice of that
    // list. Throws Failure when the speech engine cannot start.
    explicit SpeechVoice(const VoiceCatalogue& voices, QObject* parent = nullptr);
    // Speaks with parameters set up beforehand.
    SpeechVoice(const VoiceCatalogue& voices, std::shared_ptr<VoiceParameters> parameters,
                QObject* parent = nullptr);
    // Stops the speech at once.
    ~SpeechVoice() override;

    // The voice at that list position, for pieces queued afterwards. Throws
    // Failure when the position no longer names a voice.
    void selectVoice(int position);
    // 0..100 and -10..10; they reach the speech not yet synthesised. Throw
    // Failure out of range.
    void setVolume(int volume);
    void setRate(int rate);

    // Queues a piece and returns at once. Throws Failure at once when there is
    // no audio output; that piece is not queued, so when no piece could be
    // queued, isDone() stays true and no done() follows.
    // marks are offsets in text (sorted) where a chunk must begin, so that
    // its position is known exactly (a heading, a paragraph). textGoesOn: the
    // next piece goes on with this one's text, perhaps in the middle of a
    // word, which is then still spoken whole.
    void speak(const QString& text, std::vector<qsizetype> marks = {}, bool textGoesOn = false);
    // Drops at once everything queued and not yet heard, so that speech can
    // start again elsewhere; no done() follows for it. Pauses stay counted.
    void clear();

    // Act at once. Pauses are counted: speech goes on when every pause has
    // been resumed; a resume without a pause does nothing.
    void pause();
    void resume();
    int pauseDepth() const { return m_pauseDepth; }

    // True when nothing is queued and every sample has been played.
    bool isDone() const { return m_done; }
    const std::optional<SpeechFailure>& firstFailure() const { return m_firstFailure; }

    // The samples heard since the speech began or was last cleared.
    qint64 heardSamples() const;
    // The chunk being heard now; none before the first one is heard.
    std::optional<Position> heardPosition() const;
    // Every chunk handed to the engine so far, heard or not, in order.
    const std::vector<Position>& positions() const { return m_positions; }

  signals:
    // Once every queued piece has been synthesised and played.
    void done();
    // A piece could not be synthesised; the voice goes on with the next.
    void failed(const QString& description);
    // The chunk being heard has changed.
    void positionChanged();

  private:
    void startPipeline();
    void stopPipeline();
    void requestFeed();
    void feed();
    void writeQueuedSpeech();
    void writeClosingSilence();
    void onPieceFinished(const std::optional<SpeechFailure>& failure);
    void onOutputBroken(const QString& description);
    void recordFailure(const SpeechFailure& failure);
    void finish();
    void followPosition();
    int heardIndex() const;

    const VoiceCatalogue m_voices;
    std::shared_ptr<VoiceParameters> m_parameters;
    std::unique_ptr<AudioOutput> m_output;
    std::unique_ptr<PcmQueue> m_queue;
    std::unique_ptr<SynthesisWorker> m_worker;
    QTimer m_feedTimer;
    std::atomic_bool m_feedRequested{false};
    QByteArray m_unwritten;
    int m_pendingPieces = 0;
    qint64 m_speechBytes = 0;
    qint64 m_silenceBytes = 0;
    int m_pauseDepth = 0;
    // Tells apart the events of an earlier pipeline that arrive late.
    int m_generation = 0;
    bool m_done = true;
    std::optional<SpeechFailure> m_firstFailure;
    std::vector<Position> m_positions;
    int m_heardIndex = -1; // of m_positions, as last announced
};

} // namespace vt
