#include "AudioOutput.h"

#include "core/Failure.h"
#include "speech/engine/SpeechEngine.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

namespace vt {

namespace {

constexpr int BytesPerSecond = SpeechEngine::SampleRate * 2;
// About 100 ms in the device: Pause is heard at once and the first sound
// starts as soon as the first block is there.
constexpr qsizetype DeviceBufferBytes = BytesPerSecond / 10;

QAudioFormat speechFormat() {
    QAudioFormat format;
    format.setSampleRate(SpeechEngine::SampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

QString errorText(QAudio::Error error) {
    switch (error) {
    case QAudio::OpenError:
        return QStringLiteral("it could not be opened");
    case QAudio::IOError:
        return QStringLiteral("writing to it failed");
    case QAudio::UnderrunError:
        return QStringLiteral("it ran out of data");
    case QAudio::FatalError:
        return QStringLiteral("it is no longer available");
    case QAudio::NoError:
        break;
    }
    return QStringLiteral("it stopped");
}

} // namespace

AudioOutput::AudioOutput(QObject* parent) : QObject(parent) {}

AudioOutput::~AudioOutput() {
    if (m_sink) {
        m_sink->disconnect(this);
        m_sink->stop();
    }
}

qint64 AudioOutput::microsecondsFor(qint64 bytes) {
    return bytes * 1'000'000 / BytesPerSecond;
}

void AudioOutput::open() {
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        throw Failure(QStringLiteral("There is no audio output device, so the speech cannot be "
                                     "heard. Check that the sound system is running and has an "
                                     "output."));
    }
    if (!device.isFormatSupported(speechFormat())) {
        throw Failure(QStringLiteral("The audio output device \"%1\" cannot play 22,050 Hz mono "
                                     "16-bit sound.")
                          .arg(device.description()));
    }
    auto* sink = new QAudioSink(device, speechFormat(), this);
    sink->setBufferSize(DeviceBufferBytes);
    QIODevice* input = sink->start();
    if (!input || sink->error() != QAudio::NoError) {
        const QString reason = errorText(sink->error());
        delete sink;
        throw Failure(QStringLiteral("The audio output device \"%1\" cannot be used: %2.")
                          .arg(device.description(), reason));
    }
    m_sink = sink;
    m_device = input;
    connect(m_sink, &QAudioSink::stateChanged, this, [this, name = device.description()] {
        if (m_sink->state() == QAudio::StoppedState && m_sink->error() != QAudio::NoError) {
            emit broken(QStringLiteral("The audio output device \"%1\" stopped: %2.")
                            .arg(name, errorText(m_sink->error())));
        }
    });
}

qsizetype AudioOutput::room() const {
    return m_sink ? m_sink->bytesFree() : 0;
}

qsizetype AudioOutput::write(const char* data, qsizetype length) {
    if (!m_device || length <= 0) {
        return 0;
    }
    const qint64 written = m_device->write(data, length);
    return written > 0 ? written : 0;
}

qint64 AudioOutput::playedMicroseconds() const {
    return m_sink ? m_sink->processedUSecs() : 0;
}

void AudioOutput::suspend() {
    if (m_sink) {
        m_sink->suspend();
    }
}

void AudioOutput::resume() {
    if (m_sink) {
        m_sink->resume();
    }
}

} // namespace vt
