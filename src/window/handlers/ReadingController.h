#pragma once

#include "ReadingSections.h"
#include "core/ErrorReport.h"
#include "sources/reader/PageTextMode.h"
#include "speech/voices/VoiceChoice.h"
#include "speech/voices/VoiceSetUp.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

namespace vt {

class Dialogs;
class SpeechVoice;
class VoiceCatalogue;
struct PageRead;

// What a reading needs from the window.
class ReadingView {
  public:
    virtual ~ReadingView() = default;
    virtual QString readingCaption() const = 0;
    virtual void setReadingCaption(const QString& caption) = 0;
    virtual void setPointer(int value) = 0;
    virtual QString address() const = 0;
    virtual VoiceChoice voiceChoice() const = 0;
    virtual PageTextMode pageTextMode() const { return PageTextMode::WholePage; }
};

inline constexpr char StartReadingCaption[] = "Start Reading";
inline constexpr char PauseCaption[] = "Pause";
inline constexpr char ResumeCaption[] = "Resume";

// The steps of reading aloud, numbered as its error report shows them.
enum class SpeakLoudStep {
    // A click on "Resume" or "Pause".
    Resume = 102,
    Pause = 158,
    // A new reading: the page, then the voice, then the speech.
    FetchPage = 114,
    NoTextNotice = 152,
    SplitText = 128,
    Speak = 140,
    NothingQueued = 146
};

// The voice of a new reading, between its page and its speech.
inline constexpr VoiceSetUpSteps ReadingVoiceSteps{118, 122, 124, 126};

// Reading aloud as a state machine on the window thread: the page is fetched
// off the window thread, the voice speaks on its own thread, and the end of
// the speech arrives as a signal.
class ReadingController : public QObject {
    Q_OBJECT
  public:
    enum class State { Idle, Fetching, Speaking, Paused };

    // voices is the window's voice list; each reading speaks with a copy of it.
    ReadingController(ReadingView& view, Dialogs& dialogs, const VoiceCatalogue& voices,
                      QString pageTextFolder);
    ~ReadingController() override;

    // Decides from the caption what a click means: resume, pause, or a new
    // reading. ended runs once when a new reading has ended, however it ended.
    void SpeakLoud(std::function<void()> ended);
    // A new reading of text itself, nothing fetched: the same voice, steps and
    // end as a reading of the page; its first line is its title.
    void SpeakText(const QString& text, std::function<void()> ended);

    // Ends a reading under way at once, without a message.
    void stop();

    State state() const { return m_state; }
    // Whether a message of a reading is open (its nested event loop runs).
    bool showingMessage() const { return m_openMessages > 0; }
    // The address and the page title of the reading under way ("" when idle;
    // the title is "" until the page is fetched and when it has none).
    QString readingAddress() const { return m_readingAddress; }
    QString readingTitle() const { return m_readingTitle; }
    // The voice of the latest reading; it stays after the reading has ended.
    SpeechVoice* speechVoice() const { return m_voice.get(); }
    void releaseVoice();

    // Moving through the sections of the text being read (its headings, or
    // its paragraphs when it has none), from outside the window: the speech
    // goes on from the start of the next section, or goes back to the start of
    // the current one, or of the one before when the current one began to be
    // heard less than PreviousWindowMs ago. A paused reading stays paused.
    // Nothing happens unless a reading is speaking or paused.
    void nextSection();
    void previousSection();
    bool canGoNext() const;
    bool canGoPrevious() const;
    // The title of the section being heard ("" when nothing is read).
    QString sectionTitle() const;
    // The text being read, and the offset in it of the chunk being heard
    // (none before the first is heard after a start or a move).
    QString spokenText() const { return m_text; }
    std::optional<qsizetype> heardOffset() const;

    static constexpr int PreviousWindowMs = 2000;

  signals:
    // The state, the address, the title or the section being heard changed.
    void changed();

  private:
    // One reading: its report procedure and what runs when it ends. Each
    // continuation holds it, so the procedure outlives every frame that uses
    // it, and goes on only while it is still the reading under way.
    struct Reading;
    using ReadingRef = std::shared_ptr<Reading>;
    class CountingDialogs;

    bool current(const ReadingRef& reading) const { return reading && reading == m_reading; }
    void setState(State state);
    void startReading(const ReadingRef& reading);
    void beginReading(std::function<void()> ended, const QString& address);
    void onPageFetched(const ReadingRef& reading, const PageRead& result);
    void speakText(const ReadingRef& reading, QString text,
                   const std::vector<TextHeading>& headings);
    void followPosition();
    void skipTo(std::size_t section);
    bool movable() const;
    void onSpeechDone(const ReadingRef& reading);
    void finish(const ReadingRef& reading);
    SpeechVoice& requireVoice() const;

    ReadingView& m_view;
    int m_openMessages = 0;
    std::unique_ptr<Dialogs> m_dialogs; // counts the messages it shows
    const VoiceCatalogue& m_voices;
    QString m_pageTextFolder;
    State m_state = State::Idle;
    QString m_readingAddress;
    QString m_readingTitle;
    std::unique_ptr<SpeechVoice> m_voice;
    ReadingRef m_reading; // the reading under way, if any
    QPointer<QObject> m_fetchContext;
    // The text being read, its sections, and where each piece queued since
    // the voice last started over begins in it.
    QString m_text;
    std::vector<ReadingSection> m_sections;
    std::vector<qsizetype> m_pieceStarts;
    std::size_t m_section = 0; // the one being heard, as last announced
};

} // namespace vt
