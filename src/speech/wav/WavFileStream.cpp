#include "WavFileStream.h"

#include "core/Failure.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <QtEndian>
#include <array>
#include <cstring>
#include <limits>
#include <vector>

namespace vt {

namespace {

constexpr int HeaderBytes = 44;
// Below this much room a failed write is taken for a full disk.
constexpr qint64 FullDiskMarginBytes = 1 << 20;
constexpr quint16 Channels = 1;
constexpr quint16 BitsPerSample = 16;

// Thrown for a write to path that failed with reason.
[[noreturn]] void throwWriteFailure(const QString& path, const QString& reason) {
    const QStorageInfo volume(QFileInfo(path).absolutePath());
    const QString name = QDir::toNativeSeparators(path);
    if (volume.isValid() && volume.bytesAvailable() < FullDiskMarginBytes) {
        throw DiskFullFailure(
            QStringLiteral("The disk is full: the file %1 cannot be written (%2).")
                .arg(name, reason));
    }
    throw Failure(QStringLiteral("The file %1 cannot be written: %2").arg(name, reason));
}

void putTag(char* at, const char (&tag)[5]) {
    std::memcpy(at, tag, 4);
}
void put32(char* at, quint32 value) {
    qToLittleEndian(value, at);
}
void put16(char* at, quint16 value) {
    qToLittleEndian(value, at);
}

} // namespace

WavFileStream::~WavFileStream() {
    discard();
}

void WavFileStream::setFormat(int formatType) {
    if (formatType != SpeechFormat22kHz16BitMono) {
        throw Failure(QStringLiteral("The audio format type %1 is not offered; only type %2 "
                                     "(22,050 Hz, 16-bit, mono) is.")
                          .arg(formatType)
                          .arg(SpeechFormat22kHz16BitMono));
    }
}

void WavFileStream::open(const QString& path) {
    discard();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        const QString reason = m_file.errorString();
        throw Failure(QStringLiteral("The file %1 cannot be created: %2")
                          .arg(QDir::toNativeSeparators(path), reason));
    }
    m_dataBytes = 0;
    // A placeholder; the real header follows when the length is known.
    writeHeader();
}

void WavFileStream::receive(const qint16* samples, qsizetype count) {
    if (!m_file.isOpen()) {
        throw Failure(QStringLiteral("The WAV file is not open, so the speech has nowhere to go."));
    }
    const qint64 bytes = count * 2;
    qint64 written = 0;
    if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
        written = m_file.write(reinterpret_cast<const char*>(samples), bytes);
    } else {
        std::vector<qint16> little(samples, samples + count);
        qToLittleEndian<qint16>(samples, count, little.data());
        written = m_file.write(reinterpret_cast<const char*>(little.data()), bytes);
    }
    if (written != bytes) {
        throwWriteFailure(m_file.fileName(), m_file.errorString());
    }
    m_dataBytes += bytes;
}

void WavFileStream::writeHeader() {
    const qint64 maxData = std::numeric_limits<quint32>::max() - HeaderBytes;
    if (m_dataBytes > maxData) {
        throw Failure(QStringLiteral("The speech is too long for one WAV file."));
    }
    const auto dataBytes = static_cast<quint32>(m_dataBytes);
    const quint32 rate = SpeechEngine::SampleRate;
    std::array<char, HeaderBytes> header{};
    putTag(&header[0], "RIFF");
    put32(&header[4], 36 + dataBytes);
    putTag(&header[8], "WAVE");
    putTag(&header[12], "fmt ");
    put32(&header[16], 16);
    put16(&header[20], 1); // PCM
    put16(&header[22], Channels);
    put32(&header[24], rate);
    put32(&header[28], rate * Channels * BitsPerSample / 8);
    put16(&header[32], Channels * BitsPerSample / 8);
    put16(&header[34], BitsPerSample);
    putTag(&header[36], "data");
    put32(&header[40], dataBytes);
    if (!m_file.seek(0) || m_file.write(header.data(), HeaderBytes) != HeaderBytes) {
        throw Failure(QStringLiteral("The file %1 cannot be written: %2")
                          .arg(QDir::toNativeSeparators(m_file.fileName()), m_file.errorString()));
    }
}

void WavFileStream::close() {
    if (!m_file.isOpen()) {
        throw Failure(QStringLiteral("The WAV file is not open."));
    }
    writeHeader();
    if (!m_file.flush()) {
        const QString path = m_file.fileName();
        const QString reason = m_file.errorString();
        try {
            throwWriteFailure(path, reason);
        } catch (...) {
            discard();
            throw;
        }
    }
    m_file.close();
}

void WavFileStream::discard() {
    if (m_file.isOpen()) {
        m_file.close();
        m_file.remove();
    }
}

} // namespace vt
