#include "ReadingController.h"

#include "core/Dialogs.h"
#include "core/Failure.h"
#include "core/ProcedureTags.h"
#include "core/files/FileUtils.h"
#include "sources/reader/GetPageText.h"
#include "sources/reader/PageReader.h"
#include "speech/engine/SpeechEngine.h"
#include "speech/reading/SpeechVoice.h"
#include "speech/synthesis/VoiceParameters.h"
#include "window/WindowLog.h"
#include "window/form/MousePointer.h"

#include <QElapsedTimer>
#include <QScopeGuard>

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

struct ReadingController::Reading {
    Reading(Dialogs& dialogs, std::function<void()> whenEnded)
        : procedure(dialogs, tag::SpeakLoud), ended(std::move(whenEnded)) {}
    Procedure procedure;
    std::function<void()> ended;
};

// Counts the messages open, so the desktop bus can refuse its commands while
// one of them runs its nested event loop.
class ReadingController::CountingDialogs final : public DialogsRelay {
  public:
    CountingDialogs(Dialogs& target, int& open) : DialogsRelay(target), m_open(open) {}

  private:
    void relay(const std::function<void()>& call) override {
        ++m_open;
        const auto closed = qScopeGuard([this] { --m_open; });
        call();
    }
    int& m_open;
};

ReadingController::ReadingController(ReadingView& view, Dialogs& dialogs,
                                     const VoiceCatalogue& voices, QString pageTextFolder)
    : m_view(view), m_dialogs(std::make_unique<CountingDialogs>(dialogs, m_openMessages)),
      m_voices(voices), m_pageTextFolder(std::move(pageTextFolder)) {}

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
    Procedure proc(*m_dialogs, tag::SpeakLoud);
    const ReadingRef reading = m_reading;
    if (m_view.readingCaption() == ResumeCaption) {
        if (m_state != State::Paused) {
            return; // nothing of this reading is paused yet
        }
        proc.step(Step::Resume, [&] { requireVoice().resume(); });
        if (!current(reading)) {
            return; // stopped while the report was open
        }
        setState(State::Speaking);
        m_view.setReadingCaption(PauseCaption);
        return;
    }
    if (m_view.readingCaption() == PauseCaption) {
        if (m_state != State::Speaking) {
            return; // a click during the fetch waits for this reading's voice
        }
        proc.step(Step::Pause, [&] { requireVoice().pause(); });
        if (!current(reading)) {
            return;
        }
        setState(State::Paused);
        m_view.setReadingCaption(ResumeCaption);
        return;
    }
    beginReading(std::move(ended), m_view.address());
    startReading(m_reading);
}

void ReadingController::SpeakText(const QString& text, std::function<void()> ended) {
    beginReading(std::move(ended), QString());
    PageRead given;
    given.ok = true;
    given.text = text;
    given.title = titleOfText(text);
    onPageFetched(m_reading, given);
}

void ReadingController::beginReading(std::function<void()> ended, const QString& address) {
    m_reading = std::make_shared<Reading>(*m_dialogs, std::move(ended));
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

void ReadingController::startReading(const ReadingRef& reading) {
    qCDebug(windowLog) << "reading" << m_view.address();
    auto* context = new QObject(this);
    m_fetchContext = context;
    const bool started = reading->procedure.step(Step::FetchPage, [&] {
        fetchPageTextAsync(
            m_view.address(), m_pageTextFolder, context,
            [this, reading](const PageRead& result) { onPageFetched(reading, result); },
            m_view.pageTextMode());
    });
    if (!started) {
        delete context;
        if (current(reading)) {
            onPageFetched(reading, PageRead{});
        }
    }
}

void ReadingController::onPageFetched(const ReadingRef& reading, const PageRead& result) {
    if (!current(reading)) {
        return;
    }
    if (m_fetchContext) {
        m_fetchContext->deleteLater();
    }
    Procedure& proc = reading->procedure;
    QString text;
    std::vector<TextHeading> headings;
    if (result.ok) {
        text = result.text;
        headings = result.outline.headings;
        m_readingTitle = result.title;
    } else if (!result.description.isEmpty()) {
        qCDebug(windowLog) << "page not fetched:" << result.description;
        proc.report(Step::FetchPage, result.description);
        if (!current(reading)) {
            return; // stopped, or replaced, while the report was open
        }
    }
    if (text.isEmpty()) {
        proc.step(Step::NoTextNotice,
                  [&] { noticeFailure(*m_dialogs, windowLog(), NoTextMessage); });
        finish(reading);
        return;
    }
    speakText(reading, std::move(text), headings);
}

void ReadingController::speakText(const ReadingRef& reading, QString text,
                                  const std::vector<TextHeading>& headings) {
    Procedure& proc = reading->procedure;
    // Each step may show a report; the reading may have been stopped meanwhile.
    const auto step = [&](Step number, const std::function<void()>& action) {
        proc.step(number, action);
        return current(reading);
    };
    // The previous reading's voice is released once the new one is made.
    setUpVoice(
        proc, ReadingVoiceSteps, m_voices, m_view.voiceChoice(),
        [&](const std::shared_ptr<VoiceParameters>&) { return current(reading); },
        [&] {
            auto parameters = std::make_shared<VoiceParameters>();
            m_voice = std::make_unique<SpeechVoice>(m_voices, parameters);
            return parameters;
        });
    if (!current(reading)) {
        return;
    }
    m_text = text;
    m_sections = readingSections(m_text, headings,
                                 m_readingTitle.isEmpty() ? m_readingAddress : m_readingTitle);
    m_section = 0;
    m_pieceStarts.clear();
    QStringList pieces;
    proc.assign(Step::SplitText, pieces, [&] { return SplitByLength(text, PieceLength); });
    if (!current(reading)) {
        return;
    }
    qCDebug(windowLog) << "speaking" << text.size() << "characters in" << pieces.size() << "pieces";
    if (m_voice) {
        connect(m_voice.get(), &SpeechVoice::done, this,
                [this, reading] { onSpeechDone(reading); });
        connect(m_voice.get(), &SpeechVoice::failed, this,
                [this, reading](const QString& description) {
                    if (current(reading)) {
                        reading->procedure.report(Step::Speak, description);
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
        if (!step(Step::Speak, [&] { requireVoice().speak(piece, marks, goesOn); })) {
            return;
        }
        pieceStart += piece.size();
    }
    // Nothing is left to hear when nothing could be queued.
    const bool nothingQueued =
        proc.test(Step::NothingQueued, [&] { return requireVoice().isDone(); });
    if (nothingQueued) {
        onSpeechDone(reading);
    }
}

void ReadingController::onSpeechDone(const ReadingRef& reading) {
    if (m_state != State::Speaking && m_state != State::Paused) {
        return;
    }
    finish(reading);
}

void ReadingController::finish(const ReadingRef& reading) {
    if (!current(reading)) {
        return; // a reading that was stopped ends without a word
    }
    m_view.setPointer(MousePointer::Default);
    m_view.setReadingCaption(StartReadingCaption);
    qCDebug(windowLog) << "reading ended";
    setState(State::Idle);
    const ReadingRef ended = std::exchange(m_reading, nullptr);
    if (ended->ended) {
        std::exchange(ended->ended, nullptr)();
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
    m_reading.reset();
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
    const ReadingRef reading = m_reading;
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
        if (current(reading)) {
            reading->procedure.report(Step::Speak, describe(e));
        }
        if (!current(reading)) {
            return; // stopped, or replaced, while the report was open
        }
    }
    emit changed();
    if (voice.isDone()) {
        onSpeechDone(reading); // nothing could be queued: the reading is over
    }
}

void ReadingController::releaseVoice() {
    stop();
    m_voice.reset();
}

} // namespace vt
