#include "ReadingController.h"

#include "core/Dialogs.h"
#include "core/Failure.h"
#include "core/FileUtils.h"
#include "core/ProcedureTags.h"
#include "sources/GetPageText.h"
#include "sources/PageFetcher.h"
#include "speech/engine/SpeechEngine.h"
#include "speech/reading/SpeechVoice.h"
#include "window/WindowLog.h"
#include "window/form/MousePointer.h"

#include <QElapsedTimer>

namespace vt {

namespace {
using Step = SpeakLoudStep;
constexpr qsizetype PieceLength = 100000;
const QString NoTextMessage = QStringLiteral("No text to read. Select a file above to read.");

// Where sections begin inside the piece of the text at start of that length,
// as offsets in the piece: the speech is cut there so it is known exactly
// when each begins to be heard.
std::vector<qsizetype> sectionMarks(const std::vector<ReadingSection>& sections, qsizetype start,
                                    qsizetype length) {
    std::vector<qsizetype> marks;
    for (const ReadingSection& section : sections) {
        if (section.offset > start && section.offset < start + length) {
            marks.push_back(section.offset - start);
        }
    }
    return marks;
}
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
    beginReading(std::move(ended), m_view.address());
    startReading();
}

void ReadingController::SpeakText(const QString& text, std::function<void()> ended) {
    beginReading(std::move(ended), QString());
    PageFetchResult given;
    given.ok = true;
    given.text = text;
    given.title = titleOfText(text);
    onPageFetched(given);
}

void ReadingController::beginReading(std::function<void()> ended, const QString& address) {
    m_ended = std::move(ended);
    m_procedure.emplace(m_dialogs, tag::SpeakLoud);
    m_readingAddress = address;
    m_view.setReadingCaption(PauseCaption);
    m_view.setPointer(MousePointer::Hourglass);
    setState(State::Fetching);
}

void ReadingController::setState(State state) {
    if (state == State::Idle) {
        m_readingAddress.clear();
        m_readingTitle.clear();
        m_text.clear();
        m_sections.clear();
        m_pieceStarts.clear();
        m_section = 0;
    }
    const bool differs = state != m_state;
    m_state = state;
    if (differs) {
        emit changed();
    }
}

void ReadingController::startReading() {
    Procedure& proc = *m_procedure;
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
    std::vector<TextHeading> headings;
    if (result.ok) {
        text = result.text;
        headings = result.outline.headings;
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
    speakText(std::move(text), headings);
}

void ReadingController::speakText(QString text, const std::vector<TextHeading>& headings) {
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
    m_text = text;
    m_sections = readingSections(m_text, headings,
                                 m_readingTitle.isEmpty() ? m_readingAddress : m_readingTitle);
    m_section = 0;
    m_pieceStarts.clear();
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
        connect(m_voice.get(), &SpeechVoice::positionChanged, this,
                &ReadingController::followPosition);
    }
    setState(State::Speaking);
    // A cut may fall inside a word; the voice keeps it whole. The last piece
    // is often empty: the one before it ends the text.
    qsizetype pieceStart = 0;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const QString& piece = pieces[i];
        m_pieceStarts.push_back(pieceStart);
        const std::vector<qsizetype> marks = sectionMarks(m_sections, pieceStart, piece.size());
        const bool goesOn = i + 1 < pieces.size() && !pieces[i + 1].isEmpty();
        proc.step(Step::Speak, [&] { requireVoice().speak(piece, marks, goesOn); });
        pieceStart += piece.size();
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

bool ReadingController::movable() const {
    return (m_state == State::Speaking || m_state == State::Paused) && m_voice &&
           !m_sections.empty();
}

bool ReadingController::canGoNext() const {
    return movable() && m_section + 1 < m_sections.size();
}

bool ReadingController::canGoPrevious() const {
    return movable();
}

QString ReadingController::sectionTitle() const {
    return movable() ? m_sections[m_section].title : QString();
}

std::optional<qsizetype> ReadingController::heardOffset() const {
    if (!movable()) {
        return std::nullopt;
    }
    const std::optional<SpeechVoice::Position> heard = m_voice->heardPosition();
    if (!heard || heard->piece < 0 || std::size_t(heard->piece) >= m_pieceStarts.size()) {
        return std::nullopt;
    }
    return m_pieceStarts[std::size_t(heard->piece)] + heard->offset;
}

void ReadingController::followPosition() {
    const std::optional<qsizetype> offset = heardOffset();
    if (!offset) {
        return;
    }
    const std::size_t section = sectionAt(m_sections, *offset);
    if (section != m_section) {
        m_section = section;
        emit changed();
    }
}

void ReadingController::nextSection() {
    if (canGoNext()) {
        skipTo(m_section + 1);
    }
}

void ReadingController::previousSection() {
    if (!canGoPrevious()) {
        return;
    }
    // How long the current section has been heard: from the first chunk of it.
    const qsizetype start = m_sections[m_section].offset;
    qint64 heardFor = 0;
    for (const SpeechVoice::Position& position : m_voice->positions()) {
        const std::size_t piece = std::size_t(position.piece);
        if (piece < m_pieceStarts.size() && m_pieceStarts[piece] + position.offset >= start) {
            heardFor = m_voice->heardSamples() - position.sample;
            break;
        }
    }
    const bool justBegun = heardFor < qint64(SpeechEngine::SampleRate) * PreviousWindowMs / 1000;
    skipTo(justBegun && m_section > 0 ? m_section - 1 : m_section);
}

void ReadingController::skipTo(std::size_t section) {
    SpeechVoice& voice = *m_voice;
    QElapsedTimer stopping;
    stopping.start();
    voice.clear(); // the engine is told to stop; it ends its block at once
    m_section = section;
    m_pieceStarts.clear();
    const qsizetype from = m_sections[section].offset;
    qCDebug(windowLog) << "reading moves to section" << section << "at" << from
                       << "; the old speech stopped in" << stopping.nsecsElapsed() / 1000 << "us";
    QString rest = m_text.mid(from);
    qsizetype pieceStart = from;
    try {
        const QStringList pieces = SplitByLength(rest, PieceLength);
        for (qsizetype i = 0; i < pieces.size(); ++i) {
            const QString& piece = pieces[i];
            m_pieceStarts.push_back(pieceStart);
            const bool goesOn = i + 1 < pieces.size() && !pieces[i + 1].isEmpty();
            voice.speak(piece, sectionMarks(m_sections, pieceStart, piece.size()), goesOn);
            pieceStart += piece.size();
        }
    } catch (const std::exception& e) {
        qCWarning(windowLog) << "the reading could not go on:" << describe(e);
        if (m_procedure) {
            m_procedure->report(Step::Speak, describe(e));
        }
    }
    emit changed();
    if (voice.isDone()) {
        onSpeechDone(); // nothing could be queued: the reading is over
    }
}

void ReadingController::releaseVoice() {
    stop();
    m_voice.reset();
}

} // namespace vt
