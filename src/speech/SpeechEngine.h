#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <mutex>
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

// The process-wide eSpeak NG engine. The library keeps global state, so every
// call goes through one mutex; synthesis runs synchronously on the caller's
// thread and is held only for one chunk of text at a time.
class SpeechEngine {
  public:
    static constexpr int SampleRate = 22050;
    // A line shorter than this many characters that ends without punctuation
    // ends a clause, with a short pause, as a heading, a list item or a table
    // row does when read out. It is longer than any text spoken in one call,
    // so every such line counts.
    static constexpr int PhraseLineLength = 100000;

    // Starts the engine on first use. Throws Failure when it cannot start.
    static SpeechEngine& instance();

    SpeechEngine(const SpeechEngine&) = delete;
    SpeechEngine& operator=(const SpeechEngine&) = delete;

    // Every usable voice, and the best one for a language tag ("en-us", "de").
    VoiceListing listVoices(const QByteArray& language);

    // Speaks text into receiver. Returns false when cancel was raised first.
    // Throws VoiceUnavailable when the voice cannot run, Failure otherwise.
    bool synthesize(const QString& text, const SynthesisSettings& settings,
                    SampleReceiver& receiver, const std::atomic_bool* cancel);

    // What the engine would say, as its phoneme names: one line per clause,
    // words separated by blanks. Throws like synthesize.
    QString phonemes(const QString& text, const QByteArray& voiceIdentifier);

    // The folder the engine reads its voices and dictionaries from.
    QString dataFolder() const { return m_dataFolder; }

  private:
    SpeechEngine(); // throws Failure
    void loadVoice(const QByteArray& identifier);
    void applyParameters(int wordsPerMinute, int volume);

    std::mutex m_mutex;
    QString m_dataFolder;
    QByteArray m_loadedVoice;
    int m_loadedWordsPerMinute = -1;
    int m_loadedVolume = -1;
};

} // namespace vt
