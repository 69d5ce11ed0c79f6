#include "ReadingController.h"

#include "core/Dialogs.h"
#include "core/Failure.h"
#include "core/FileUtils.h"
#include "core/ProcedureTags.h"
#include "sources/GetPageText.h"
#include "sources/PageFetcher.h"
#include "speech/reading/SpeechVoice.h"
#include "window/WindowLog.h"
#include "window/form/MousePointer.h"

namespace vt {

namespace {
using Step = SpeakLoudStep;
constexpr qsizetype PieceLength = 100000;
const QString NoTextMessage = QStringLiteral("No text to read. Select a file above to read.");
} // namespace

ReadingController::ReadingController(ReadingView& view, Dialogs& dialogs,
                                     const VoiceCatalogue& voices, QString pageTextFolder)
    : m_view(view), m_dialogs(dialogs), m_voices(voices),
      m_pageTextFolder(std::move(pageTextFolder)) {}

ReadingController::~ReadingController() {
    stop();
}

SpeechVoice& ReadingController::requireVoice() const {
    if (!m_voice) {
        throw Failure(QStringLiteral("Object variable or With block variable not set"));
    }
    return *m_voice;
}

void ReadingController::SpeakLoud(std::function<void()> ended) {
    Procedure proc(m_dialogs, tag::SpeakLoud);
    if (m_view.readingCaption() == ResumeCaption) {
        if (m_state != State::Paused) {
            return; // nothing of this reading is paused yet
        }
        proc.step(Step::Resume, [&] { requireVoice().resume(); });
        setState(State::Speaking);
        m_view.setReadingCaption(PauseCaption);
        return;
    }
    if (m_view.readingCaption() == PauseCaption) {
        if (m_state != State::Speaking) {
            return; // a click during the fetch waits for this reading's voice
        }
        proc.step(Step::Pause, [&] { requireVoice().pause(); });
        setState(State::Paused);
        m_view.setReadingCaption(ResumeCaption);
        return;
    }
    m_ended = std::move(ended);
    m_procedure.emplace(m_dialogs, tag::SpeakLoud);
    startReading();
}

void ReadingController::setState(State state) {
    if (state == State::Idle) {
        m_readingAddress.clear();
        m_readingTitle.clear();
    }
    const bool differs = state != m_state;
    m_state = state;
    if (differs) {
        emit changed();
    }
}

void ReadingController::startReading() {
    Procedure& proc = *m_procedure;
    m_readingAddress = m_view.address();
    m_view.setReadingCaption(PauseCaption);
    m_view.setPointer(MousePointer::Hourglass);
    setState(State::Fetching);
    qCDebug(windowLog) << "reading" << m_view.address();
    auto* context = new QObject(this);
    m_fetchContext = context;
    const bool started = proc.step(Step::FetchPage, [&] {
        fetchPageTextAsync(
            m_view.address(), m_pageTextFolder, context,
            [this](const PageFetchResult& result) { onPageFetched(result); },
            m_view.pageTextMode());
    });
    if (!started) {
        delete context;
        onPageFetched(PageFetchResult{});
    }
}

void ReadingController::onPageFetched(const PageFetchResult& result) {
    if (m_fetchContext) {
        m_fetchContext->deleteLater();
    }
    Procedure& proc = *m_procedure;
    QString text;
    if (result.ok) {
        text = result.text;
        m_readingTitle = result.title;
    } else if (!result.description.isEmpty()) {
        qCDebug(windowLog) << "page not fetched:" << result.description;
        proc.report(Step::FetchPage, result.description);
    }
    if (text.isEmpty()) {
        proc.step(Step::NoTextNotice, [&] { m_dialogs.notice(NoTextMessage); });
        finish();
        return;
    }
    speakText(std::move(text));
}

void ReadingController::speakText(QString text) {
    Procedure& proc = *m_procedure;
    proc.step(Step::CreateVoice, [&] {
        auto voice = std::make_unique<SpeechVoice>(m_voices);
        m_voice = std::move(voice); // the previous reading's voice is released
    });
    const VoiceChoice choice = m_view.voiceChoice();
    if (choice.position != -1) {
        proc.step(Step::ChooseVoice, [&] { requireVoice().selectVoice(choice.position); });
    }
    proc.step(Step::SetVolume, [&] { requireVoice().setVolume(choice.volume); });
    proc.step(Step::SetRate, [&] { requireVoice().setRate(choice.rate); });
    QStringList pieces;
    proc.assign(Step::SplitText, pieces, [&] { return SplitByLength(text, PieceLength); });
    qCDebug(windowLog) << "speaking" << text.size() << "characters in" << pieces.size() << "pieces";
    if (m_voice) {
        connect(m_voice.get(), &SpeechVoice::done, this, &ReadingController::onSpeechDone);
        connect(m_voice.get(), &SpeechVoice::failed, this, [this](const QString& description) {
            if (m_procedure) {
                m_procedure->report(Step::Speak, description);
            }
        });
    }
    setState(State::Speaking);
    for (const QString& piece : pieces) {
        proc.step(Step::Speak, [&] { requireVoice().speak(piece); });
    }
    // Nothing is left to hear when nothing could be queued.
    if (proc.test(Step::NothingQueued, [&] { return requireVoice().isDone(); })) {
        onSpeechDone();
    }
}

void ReadingController::onSpeechDone() {
    if (m_state != State::Speaking && m_state != State::Paused) {
        return;
    }
    finish();
}

void ReadingController::finish() {
    m_view.setPointer(MousePointer::Default);
    m_view.setReadingCaption(StartReadingCaption);
    qCDebug(windowLog) << "reading ended";
    setState(State::Idle);
    m_procedure.reset();
    if (auto ended = std::exchange(m_ended, nullptr)) {
        ended();
    }
}

void ReadingController::stop() {
    delete m_fetchContext.data();
    if (m_voice) {
        disconnect(m_voice.get(), nullptr, this, nullptr);
        if (m_state == State::Speaking || m_state == State::Paused) {
            m_voice.reset(); // stops the speech at once
        }
    }
    setState(State::Idle);
    m_procedure.reset();
    m_ended = nullptr;
}

void ReadingController::releaseVoice() {
    stop();
    m_voice.reset();
}

} // namespace vt
