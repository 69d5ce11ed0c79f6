#pragma once

#include "core/ErrorReport.h"
#include "sources/PageTextMode.h"
#include "speech/voices/VoiceChoice.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

namespace vt {

class Dialogs;
class SpeechVoice;
class VoiceCatalogue;
struct PageFetchResult;

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
    CreateVoice = 118,
    ChooseVoice = 122,
    SetVolume = 124,
    SetRate = 126,
    SplitText = 128,
    Speak = 140,
    NothingQueued = 146
};

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

    // Ends a reading under way at once, without a message.
    void stop();

    State state() const { return m_state; }
    // The address and the page title of the reading under way ("" when idle;
    // the title is "" until the page is fetched and when it has none).
    QString readingAddress() const { return m_readingAddress; }
    QString readingTitle() const { return m_readingTitle; }
    // The voice of the latest reading; it stays after the reading has ended.
    SpeechVoice* speechVoice() const { return m_voice.get(); }
    void releaseVoice();

  signals:
    // The state, the address or the title changed.
    void changed();

  private:
    void setState(State state);
    void startReading();
    void onPageFetched(const PageFetchResult& result);
    void speakText(QString text);
    void onSpeechDone();
    void finish();
    SpeechVoice& requireVoice() const;

    ReadingView& m_view;
    Dialogs& m_dialogs;
    const VoiceCatalogue& m_voices;
    QString m_pageTextFolder;
    State m_state = State::Idle;
    QString m_readingAddress;
    QString m_readingTitle;
    std::unique_ptr<SpeechVoice> m_voice;
    std::optional<Procedure> m_procedure;
    QPointer<QObject> m_fetchContext;
    std::function<void()> m_ended;
};

} // namespace vt
