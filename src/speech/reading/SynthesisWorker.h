#pragma once

#include "speech/voices/VoiceCatalogue.h"

#include <QString>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <thread>

namespace vt {

class PcmQueue;
class VoiceParameters;

// The thread a reading voice synthesises on: it takes the queued pieces in
// order and speaks each into the audio queue, waiting while that is full.
class SynthesisWorker {
  public:
    struct PieceResult {
        bool failed = false;
        QString description;
        bool voiceUnavailable = false;
    };
    // Both are called on the worker thread.
    struct Events {
        std::function<void()> audioAvailable;
        std::function<void(const PieceResult&)> pieceFinished;
    };

    SynthesisWorker(const VoiceCatalogue& voices, std::shared_ptr<const VoiceParameters> parameters,
                    PcmQueue& audio, Events events);
    // Cancels what is under way and waits for the thread, which takes at most
    // one engine block.
    ~SynthesisWorker();
    SynthesisWorker(const SynthesisWorker&) = delete;
    SynthesisWorker& operator=(const SynthesisWorker&) = delete;

    void enqueue(const QString& text);

  private:
    void run();
    PieceResult speakPiece(const QString& text);

    const VoiceCatalogue m_voices;
    std::shared_ptr<const VoiceParameters> m_parameters;
    PcmQueue& m_audio;
    Events m_events;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<QString> m_pieces;
    std::stop_source m_cancel;
    std::thread m_thread;
};

} // namespace vt
