#include "Mp3StreamCheck.h"

#include <QFile>
#include <cmath>
#include <cstdint>
#include <optional>

namespace vt {

namespace {

// More than any part's WAV; a header claiming more is not one of ours.
constexpr qint64 MaxWavHeaderBytes = 1 << 16;

struct Frame {
    qint64 bytes = 0;
    int samples = 0;
    int sampleRate = 0;
};

std::uint32_t littleEndian(const uchar* p, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = value << 8 | p[i];
    }
    return value;
}

// The frame whose header starts at p (four bytes), if it is a layer III header.
std::optional<Frame> layer3Frame(const uchar* p) {
    static constexpr int Bitrates[2][16] = {
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}, // MPEG-1
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}};    // MPEG-2, 2.5
    static constexpr int Rates[3] = {44100, 48000, 32000};
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) {
        return std::nullopt;
    }
    const int version = (p[1] >> 3) & 3; // 0: 2.5, 2: 2, 3: 1
    const int layer = (p[1] >> 1) & 3;   // 1: layer III
    const int bitrateIndex = p[2] >> 4;
    const int rateIndex = (p[2] >> 2) & 3;
    if (version == 1 || layer != 1 || rateIndex == 3 || Bitrates[0][bitrateIndex] == 0) {
        return std::nullopt;
    }
    const bool mpeg1 = version == 3;
    const int rate = Rates[rateIndex] / (mpeg1 ? 1 : version == 2 ? 2 : 4);
    const int samples = mpeg1 ? 1152 : 576;
    const int bitrate = Bitrates[mpeg1 ? 0 : 1][bitrateIndex] * 1000;
    const int padding = (p[2] >> 1) & 1;
    return Frame{qint64(samples / 8) * bitrate / rate + padding, samples, rate};
}

// The WAV's length in seconds, from its fmt and data chunks.
std::optional<double> wavSeconds(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray head = file.read(MaxWavHeaderBytes);
    const auto* p = reinterpret_cast<const uchar*>(head.constData());
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE") {
        return std::nullopt;
    }
    std::uint32_t bytesPerSecond = 0;
    for (qsizetype at = 12; at + 8 <= head.size();) {
        const QByteArray id = head.mid(at, 4);
        const std::uint32_t size = littleEndian(p + at + 4, 4);
        if (id == "fmt " && at + 20 <= head.size()) {
            bytesPerSecond = littleEndian(p + at + 16, 4);
        } else if (id == "data") {
            if (bytesPerSecond == 0) {
                return std::nullopt;
            }
            const qint64 data = std::min<qint64>(size, file.size() - at - 8);
            return double(data) / bytesPerSecond;
        }
        at += 8 + qsizetype(size) + (size & 1);
    }
    return std::nullopt;
}

} // namespace

QString checkEncodedMp3(const QString& wavPath, const QString& mp3Path) {
    QFile file(mp3Path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QStringLiteral("it cannot be read: %1").arg(file.errorString());
    }
    // Parts are a few minutes of speech at most: megabytes, read at once.
    const QByteArray bytes = file.readAll();
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    const qint64 size = bytes.size();
    qint64 at = 0;
    double seconds = 0;
    double frameSeconds = 0;
    while (at < size) {
        if (size - at == 128 && bytes.mid(at, 3) == "TAG") {
            break; // an ID3v1 tag ends the stream
        }
        const std::optional<Frame> frame = size - at >= 4 ? layer3Frame(p + at) : std::nullopt;
        if (!frame || at + frame->bytes > size) {
            return QStringLiteral("no MP3 frame at byte %1 of %2").arg(at).arg(size);
        }
        frameSeconds = double(frame->samples) / frame->sampleRate;
        seconds += frameSeconds;
        at += frame->bytes;
    }
    if (at == 0) {
        return QStringLiteral("it holds no MP3 frames");
    }
    const std::optional<double> wav = wavSeconds(wavPath);
    if (!wav) {
        return {}; // nothing to measure it against: the frames are all that can be checked
    }
    const double expected = *wav + 2 * frameSeconds;
    if (std::abs(seconds - expected) > frameSeconds * 1.001) {
        return QStringLiteral("it lasts %1 s where the speech lasts %2 s")
            .arg(seconds, 0, 'f', 3)
            .arg(*wav, 0, 'f', 3);
    }
    return {};
}

} // namespace vt
