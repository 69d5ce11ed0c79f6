#pragma once

#include <QString>
#include <vector>

namespace vt::test {

// A WAV file as the tests check it: every header field as written, and the
// samples.
struct WavFile {
    QString problem; // empty when the file is a consistent 44-byte-header PCM WAV
    quint32 riffSize = 0;
    quint16 formatTag = 0;
    quint16 channels = 0;
    quint32 sampleRate = 0;
    quint32 byteRate = 0;
    quint16 blockAlign = 0;
    quint16 bitsPerSample = 0;
    quint32 dataSize = 0;
    std::vector<qint16> samples;

    double seconds() const;
};

WavFile readWav(const QString& path);

// Root mean square of 16-bit samples.
double rms(const std::vector<qint16>& samples, std::size_t from = 0,
           std::size_t to = static_cast<std::size_t>(-1));

} // namespace vt::test
