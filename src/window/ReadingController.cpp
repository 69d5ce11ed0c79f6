#include "ReadingController.h"

#include "MousePointer.h"
#include "core/Dialogs.h"
#include "core/Failure.h"
#include "core/FileUtils.h"
#include "core/ProcedureTags.h"
#include "sources/GetPageText.h"
#include "sources/PageFetcher.h"
#include "speech/SpeechVoice.h"

namespace vt {

namespace {
constexpr qsizetype PieceLength = 100000;
const QString NoTextMessage = QStringLiteral("No text to read. Select a file above to read.");
} // namespace

ReadingController::ReadingController(ReadingView& view, Dialogs& dialogs, QString pageTextFolder)
    : m_view(view), m_dialogs(dialogs), m_pageTextFolder(std::move(pageTextFolder)) {}

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
    if (proc.test(100, [&] { return m_view.readingCaption() == ResumeCaption; })) {
        if (m_state != State::Paused) {
            return; // nothing of this reading is paused yet
        }
        proc.step(102, [&] { requireVoice().resume(); });
        setState(State::Speaking);
        proc.step(104, [&] { m_view.setReadingCaption(PauseCaption); });
        return;
    }
    if (proc.test(106, [&] { return m_view.readingCaption() == PauseCaption; })) {
        if (m_state != State::Speaking) {
            return; // a click during the fetch waits for this reading's voice
        }
        proc.step(158, [&] { requireVoice().pause(); });
        setState(State::Paused);
        proc.step(160, [&] { m_view.setReadingCaption(ResumeCaption); });
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
    proc.step(110, [&] { m_view.setReadingCaption(PauseCaption); });
    proc.step(112, [&] { m_view.setPointer(MousePointer::Hourglass); });
    setState(State::Fetching);
    auto* context = new QObject(this);
    m_fetchContext = context;
    const bool started = proc.step(114, [&] {
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
        proc.report(114, result.description);
    }
    if (proc.test(116, [&] { return text.isEmpty(); })) {
        proc.step(152, [&] { m_dialogs.notice(NoTextMessage); });
        finish(154, 156);
        return;
    }
    speakText(std::move(text));
}

void ReadingController::speakText(QString text) {
    Procedure& proc = *m_procedure;
    proc.step(118, [&] {
        auto voice = std::make_unique<SpeechVoice>();
        m_voice = std::move(voice); // the previous reading's voice is released
    });
    const VoiceChoice choice = m_view.voiceChoice();
    if (!proc.test(120, [&] { return choice.position == -1; })) {
        proc.step(122, [&] { requireVoice().selectVoice(choice.position); });
    }
    proc.step(124, [&] { requireVoice().setVolume(choice.volume); });
    proc.step(126, [&] { requireVoice().setRate(choice.rate); });
    QStringList pieces;
    proc.assign(128, pieces, [&] { return SplitByLength(text, PieceLength); });
    if (m_voice) {
        connect(m_voice.get(), &SpeechVoice::done, this, &ReadingController::onSpeechDone);
        connect(m_voice.get(), &SpeechVoice::failed, this, [this](const QString& description) {
            if (m_procedure) {
                m_procedure->report(140, description);
            }
        });
    }
    setState(State::Speaking);
    for (const QString& piece : pieces) {
        proc.step(140, [&] { requireVoice().speak(piece); });
    }
    // Nothing is left to hear when nothing could be queued.
    if (proc.test(146, [&] { return requireVoice().isDone(); })) {
        onSpeechDone();
    }
}

void ReadingController::onSpeechDone() {
    if (m_state != State::Speaking && m_state != State::Paused) {
        return;
    }
    finish(148, 150);
}

void ReadingController::finish(int pointerStep, int captionStep) {
    Procedure& proc = *m_procedure;
    proc.step(pointerStep, [&] { m_view.setPointer(MousePointer::Default); });
    proc.step(captionStep, [&] { m_view.setReadingCaption(StartReadingCaption); });
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
