#include "SpeechVoice.h"

#include "AudioOutput.h"
#include "PcmQueue.h"
#include "SynthesisWorker.h"
#include "speech/engine/SpeechEngine.h"
#include "speech/synthesis/VoiceParameters.h"
#include "speech/voices/VoiceCatalogue.h"

#include <algorithm>

namespace vt {

namespace {

constexpr int FeedIntervalMs = 20;
// Synthesis runs this far ahead of playing (about one second).
constexpr qsizetype QueueLimitBytes = SpeechEngine::SampleRate * 2;
// Silence after the last sample carries it through the device's start
// threshold and buffer; about half a second is plenty.
constexpr qint64 ClosingSilenceBytes = SpeechEngine::SampleRate;

} // namespace

SpeechVoice::SpeechVoice(const VoiceCatalogue& voices, QObject* parent)
    : SpeechVoice(voices, std::make_shared<VoiceParameters>(), parent) {}

SpeechVoice::SpeechVoice(const VoiceCatalogue& voices, std::shared_ptr<VoiceParameters> parameters,
                         QObject* parent)
    : QObject(parent), m_voices(voices), m_parameters(std::move(parameters)) {
    m_voices.engine().checkStarted();
    m_feedTimer.setInterval(FeedIntervalMs);
    connect(&m_feedTimer, &QTimer::timeout, this, &SpeechVoice::feed);
}

SpeechVoice::~SpeechVoice() {
    // Closing the device may run pending events; none of them may act now.
    m_done = true;
    m_feedTimer.stop();
    stopPipeline();
}

void SpeechVoice::selectVoice(int position) {
    m_parameters->setVoice(m_voices.voiceAt(position).identifier);
}

void SpeechVoice::setVolume(int volume) {
    m_parameters->setVolume(volume);
}

void SpeechVoice::setRate(int rate) {
    m_parameters->setRate(rate);
}

void SpeechVoice::speak(const QString& text, std::vector<qsizetype> marks, bool textGoesOn) {
    if (!m_output) {
        startPipeline();
    }
    ++m_pendingPieces;
    m_done = false;
    m_worker->enqueue(text, std::move(marks), textGoesOn);
    if (m_pauseDepth == 0) {
        m_feedTimer.start();
    }
}

void SpeechVoice::startPipeline() {
    auto output = std::make_unique<AudioOutput>();
    output->open();
    connect(output.get(), &AudioOutput::broken, this, &SpeechVoice::onOutputBroken);
    if (m_pauseDepth > 0) {
        output->suspend();
    }
    m_output = std::move(output);
    m_queue = std::make_unique<PcmQueue>(QueueLimitBytes);
    const int generation = ++m_generation;
    SynthesisWorker::Events events;
    events.audioAvailable = [this] { requestFeed(); };
    events.pieceFinished = [this, generation](const SynthesisWorker::PieceResult& result) {
        QMetaObject::invokeMethod(
            this,
            [this, generation, result] {
                if (generation == m_generation) {
                    onPieceFinished(result);
                }
            },
            Qt::QueuedConnection);
    };
    events.chunkStarted = [this, generation](const SynthesisWorker::ChunkStart& start) {
        QMetaObject::invokeMethod(
            this,
            [this, generation, start] {
                if (generation == m_generation) {
                    m_positions.push_back({start.piece, start.offset, start.sample});
                }
            },
            Qt::QueuedConnection);
    };
    m_worker =
        std::make_unique<SynthesisWorker>(m_voices, m_parameters, *m_queue, std::move(events));
    m_unwritten.clear();
    m_pendingPieces = 0;
    m_speechBytes = 0;
    m_silenceBytes = 0;
    m_positions.clear();
    m_heardIndex = -1;
}

void SpeechVoice::clear() {
    m_feedTimer.stop();
    stopPipeline();
    ++m_generation; // what the old pipeline still sends is dropped
    m_done = true;
    m_pendingPieces = 0;
    m_unwritten.clear();
    m_positions.clear();
    m_heardIndex = -1;
}

qint64 SpeechVoice::heardSamples() const {
    if (!m_output) {
        return 0;
    }
    return m_output->playedMicroseconds() * SpeechEngine::SampleRate / 1'000'000;
}

int SpeechVoice::heardIndex() const {
    const qint64 heard = heardSamples();
    const auto after = std::upper_bound(
        m_positions.begin(), m_positions.end(), heard,
        [](qint64 sample, const Position& position) { return sample < position.sample; });
    return static_cast<int>(after - m_positions.begin()) - 1;
}

std::optional<SpeechVoice::Position> SpeechVoice::heardPosition() const {
    const int index = heardIndex();
    if (index < 0) {
        return std::nullopt;
    }
    return m_positions[static_cast<std::size_t>(index)];
}

void SpeechVoice::followPosition() {
    const int index = heardIndex();
    if (index != m_heardIndex) {
        m_heardIndex = index;
        // Later, from the event loop: whoever hears it may clear or end the voice.
        QMetaObject::invokeMethod(this, &SpeechVoice::positionChanged, Qt::QueuedConnection);
    }
}

void SpeechVoice::stopPipeline() {
    // The worker first: it may be waiting on the queue.
    m_worker.reset();
    m_queue.reset();
    m_output.reset();
}

// Called on the worker thread for every block of audio; one feed request is
// enough however many blocks arrive before it runs.
void SpeechVoice::requestFeed() {
    if (!m_feedRequested.exchange(true)) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_feedRequested = false;
                feed();
            },
            Qt::QueuedConnection);
    }
}

void SpeechVoice::feed() {
    if (m_done || !m_output || m_pauseDepth > 0) {
        return;
    }
    writeQueuedSpeech();
    followPosition();
    const bool synthesisOver =
        m_pendingPieces == 0 && m_queue->size() == 0 && m_unwritten.isEmpty();
    if (!synthesisOver) {
        return;
    }
    if (m_speechBytes == 0) {
        finish();
        return;
    }
    writeClosingSilence();
    if (m_output->playedMicroseconds() >= AudioOutput::microsecondsFor(m_speechBytes)) {
        finish();
    }
}

void SpeechVoice::writeQueuedSpeech() {
    qsizetype room = m_output->room();
    while (room > 0) {
        if (m_unwritten.isEmpty()) {
            m_unwritten = m_queue->take(room);
            if (m_unwritten.isEmpty()) {
                return;
            }
        }
        const qsizetype written = m_output->write(m_unwritten.constData(), m_unwritten.size());
        m_speechBytes += written;
        m_unwritten.remove(0, written);
        if (written == 0) {
            return;
        }
        room -= written;
    }
}

void SpeechVoice::writeClosingSilence() {
    const qsizetype length =
        std::min<qint64>(m_output->room(), ClosingSilenceBytes - m_silenceBytes);
    if (length > 0) {
        const QByteArray silence(length, '\0');
        m_silenceBytes += m_output->write(silence.constData(), silence.size());
    }
}

void SpeechVoice::onPieceFinished(const std::optional<SpeechFailure>& failure) {
    if (m_done) {
        return;
    }
    --m_pendingPieces;
    if (failure) {
        recordFailure(*failure);
        emit failed(failure->description);
    }
    feed();
}

void SpeechVoice::onOutputBroken(const QString& description) {
    if (m_done) {
        return;
    }
    recordFailure({description, false});
    emit failed(description);
    finish();
}

void SpeechVoice::recordFailure(const SpeechFailure& failure) {
    if (!m_firstFailure) {
        m_firstFailure = failure;
    }
}

void SpeechVoice::finish() {
    m_done = true;
    m_feedTimer.stop();
    stopPipeline();
    emit done();
}

void SpeechVoice::pause() {
    if (++m_pauseDepth == 1) {
        m_feedTimer.stop();
        if (m_output) {
            m_output->suspend();
        }
    }
}

void SpeechVoice::resume() {
    if (m_pauseDepth == 0 || --m_pauseDepth > 0) {
        return;
    }
    if (m_output) {
        m_output->resume();
    }
    if (!m_done) {
        m_feedTimer.start();
        feed();
    }
}

} // namespace vt
