#pragma once

#include <QObject>
#include <QString>

class QAudioSink;
class QIODevice;

namespace vt {

// The default audio output device for speech (22,050 Hz, 16-bit, mono),
// fed in push mode by its owner. Lives on a thread with an event loop.
class AudioOutput : public QObject {
    Q_OBJECT
  public:
    explicit AudioOutput(QObject* parent = nullptr);
    ~AudioOutput() override;

    // Throws Failure at once when there is no device or it cannot be opened.
    void open();
    // How many bytes the device takes now.
    qsizetype room() const;
    // Writes what the device takes; returns how many bytes that was.
    qsizetype write(const char* data, qsizetype length);
    // How much of what was written has been played, in microseconds.
    qint64 playedMicroseconds() const;
    // Act at once: the device stops taking and playing samples until resumed.
    void suspend();
    void resume();

    static qint64 microsecondsFor(qint64 bytes);

  signals:
    // The device stopped on its own (unplugged, sound server gone).
    void broken(const QString& description);

  private:
    QAudioSink* m_sink = nullptr;
    QIODevice* m_device = nullptr;
};

} // namespace vt
