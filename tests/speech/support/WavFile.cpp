#include "WavFile.h"

#include <QFile>
#include <QtEndian>
#include <cmath>
#include <cstring>

namespace vt::test {

double WavFile::seconds() const {
    return sampleRate == 0 ? 0.0 : static_cast<double>(samples.size()) / sampleRate;
}

WavFile readWav(const QString& path) {
    WavFile wav;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        wav.problem = "cannot open " + path;
        return wav;
    }
    const QByteArray bytes = file.readAll();
    if (bytes.size() < 44) {
        wav.problem = "shorter than a header";
        return wav;
    }
    const char* p = bytes.constData();
    auto u32 = [&](int at) { return qFromLittleEndian<quint32>(p + at); };
    auto u16 = [&](int at) { return qFromLittleEndian<quint16>(p + at); };
    if (std::memcmp(p, "RIFF", 4) != 0 || std::memcmp(p + 8, "WAVE", 4) != 0 ||
        std::memcmp(p + 12, "fmt ", 4) != 0 || std::memcmp(p + 36, "data", 4) != 0) {
        wav.problem = "chunk tags are wrong";
        return wav;
    }
    wav.riffSize = u32(4);
    if (u32(16) != 16) {
        wav.problem = "fmt chunk is not 16 bytes";
        return wav;
    }
    wav.formatTag = u16(20);
    wav.channels = u16(22);
    wav.sampleRate = u32(24);
    wav.byteRate = u32(28);
    wav.blockAlign = u16(32);
    wav.bitsPerSample = u16(34);
    wav.dataSize = u32(40);
    if (wav.riffSize != static_cast<quint32>(bytes.size() - 8)) {
        wav.problem = "RIFF size does not match the file";
    } else if (wav.dataSize != static_cast<quint32>(bytes.size() - 44)) {
        wav.problem = "data size does not match the file";
    }
    wav.samples.resize(static_cast<std::size_t>(bytes.size() - 44) / 2);
    for (std::size_t i = 0; i < wav.samples.size(); ++i) {
        wav.samples[i] = qFromLittleEndian<qint16>(p + 44 + 2 * i);
    }
    return wav;
}

double rms(const std::vector<qint16>& samples, std::size_t from, std::size_t to) {
    to = std::min(to, samples.size());
    if (from >= to) {
        return 0.0;
    }
    double sum = 0;
    for (std::size_t i = from; i < to; ++i) {
        sum += static_cast<double>(samples[i]) * samples[i];
    }
    return std::sqrt(sum / static_cast<double>(to - from));
}

} // namespace vt::test
