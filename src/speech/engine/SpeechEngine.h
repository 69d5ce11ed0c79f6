#pragma once

#include "core/SerialWorker.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <stop_token>
#include <vector>

namespace vt {

// One voice the engine offers.
struct VoiceEntry {
    QString name;          // the list text, e.g. "English (America)"
    QByteArray identifier; // the engine's voice file, e.g. "gmw/en-US"
    QByteArray language;   // its first language tag, e.g. "en-us"
};

struct VoiceListing {
    std::vector<VoiceEntry> voices; // in the engine's own order
    QByteArray bestForLanguage;     // identifier of the best voice for the language asked, or ""
};

// Receives audio as the engine makes it: 22,050 Hz, 16-bit, mono.
class SampleReceiver {
  public:
    virtual ~SampleReceiver() = default;
    // May throw; the synthesis then stops and the failure reaches its caller.
    virtual void receive(const qint16* samples, qsizetype count) = 0;
};

struct SynthesisSettings {
    QByteArray voiceIdentifier;
    int wordsPerMinute = 175;
    int volume = 100; // 0..100, linear
    // The pause the engine makes at the end of a text; off for a piece that
    // ends inside a sentence, so no gap is heard where the text was cut.
    bool pauseAtEnd = true;
};

// The program's speech engine: an ordinary object, made once by whoever runs
// the program (main, a test) and handed to whoever speaks. It owns one worker
// thread and a queue of requests that thread takes in order, so the engine's
// own state is only ever touched there. Subclasses implement the hooks; each
// runs on the worker thread. Every call blocks its caller until its request is
// done, and the receiver of a synthesis is called on the worker thread.
class SpeechEngine {
  public:
    static constexpr int SampleRate = 22050;
    // A line shorter than this many characters that ends without punctuation
    // ends a clause, with a short pause, as a heading, a list item or a table
    // row does when read out. It is longer than any text spoken in one call,
    // so every such line counts.
    static constexpr int PhraseLineLength = 100000;

    virtual ~SpeechEngine();
    SpeechEngine(const SpeechEngine&) = delete;
    SpeechEngine& operator=(const SpeechEngine&) = delete;

    // Throws Failure with the reason when the engine could not start.
    void checkStarted();

    // Every usable voice, and the best one for a language tag ("en-us", "de").
    // Throws Failure when the engine could not start.
    VoiceListing listVoices(const QByteArray& language);

    // Speaks text into receiver. Returns false when a stop was requested first.
    // Throws VoiceUnavailable when the voice cannot run, Failure otherwise.
    bool synthesize(const QString& text, const SynthesisSettings& settings,
                    SampleReceiver& receiver, std::stop_token cancel = {});

  protected:
    SpeechEngine();
    // The subclass starts the worker once it is complete (its constructor's
    // last statement) and stops it first thing in its destructor.
    void startWorker();
    void stopWorker();

    // Throws Failure when the engine cannot start; nothing else is called then.
    virtual void startHook() = 0;
    virtual void stopHook() = 0;
    virtual VoiceListing listVoicesHook(const QByteArray& language) = 0;
    virtual bool synthesizeHook(const QByteArray& utf8, const SynthesisSettings& settings,
                                SampleReceiver& receiver, std::stop_token cancel) = 0;

    // Runs work on the worker thread, once the engine has started, and waits;
    // rethrows its failure. For a subclass that asks the engine more.
    void runOnEngineThread(const std::function<void()>& work);

  private:
    // Runs work on the worker thread and returns its result or rethrows its failure.
    template <typename Result> Result call(std::function<Result()> work);

    QString m_startFailure; // set on the worker by the start request
    bool m_started = false;
    std::optional<SerialWorker> m_worker;
};

} // namespace vt
