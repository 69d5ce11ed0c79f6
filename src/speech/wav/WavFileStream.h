#pragma once

#include "speech/engine/SpeechEngine.h"

#include <QFile>
#include <QString>

namespace vt {

// Speech format type 22: 22,050 samples per second, 16 bits, mono, PCM.
inline constexpr int SpeechFormat22kHz16BitMono = 22;

// A WAV file written as the speech is made. The RIFF header is written last,
// when the stream is closed; a stream destroyed before that removes its
// unfinished file.
class WavFileStream final : public SampleReceiver {
  public:
    WavFileStream() = default;
    ~WavFileStream() override;
    WavFileStream(const WavFileStream&) = delete;
    WavFileStream& operator=(const WavFileStream&) = delete;

    // Only format type 22 is offered; others throw Failure.
    void setFormat(int formatType);
    // Creates (or replaces) the file. Throws Failure.
    void open(const QString& path);
    bool isOpen() const { return m_file.isOpen(); }
    void receive(const qint16* samples, qsizetype count) override;
    // Completes the header and closes the file. Throws Failure.
    void close();
    // Closes and removes an unfinished file.
    void discard();

    qint64 sampleCount() const { return m_dataBytes / 2; }

  private:
    void writeHeader();

    QFile m_file;
    qint64 m_dataBytes = 0;
};

} // namespace vt
