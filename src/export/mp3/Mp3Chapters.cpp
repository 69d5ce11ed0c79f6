#include "Mp3Chapters.h"

#include "core/Failure.h"

#include <QDir>
#include <QFile>
#include <array>

namespace vt {

namespace {

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// Bit rates of Layer III in kbit/s, by the header's index.
constexpr std::array<int, 16> Mpeg1Rates = {0,   32,  40,  48,  56,  64,  80,  96,
                                            112, 128, 160, 192, 224, 256, 320, 0};
constexpr std::array<int, 16> Mpeg2Rates = {0,  8,  16, 24,  32,  40,  48,  56,
                                            64, 80, 96, 112, 128, 144, 160, 0};

struct FrameHeader {
    qint64 bytes = 0;
    qint64 samples = 0;
};

// The Layer III frame header at data; bytes 0 when there is none.
FrameHeader frameAt(const uchar* data) {
    if (data[0] != 0xFF || (data[1] & 0xE0) != 0xE0 || ((data[1] >> 1) & 3) != 1) {
        return {};
    }
    const int version = (data[1] >> 3) & 3; // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
    const int rateIndex = data[2] >> 4;
    const int sampleRateIndex = (data[2] >> 2) & 3;
    if (version == 1 || sampleRateIndex == 3) {
        return {};
    }
    const bool mpeg1 = version == 3;
    const int kbits = (mpeg1 ? Mpeg1Rates : Mpeg2Rates)[static_cast<std::size_t>(rateIndex)];
    if (kbits == 0) {
        return {};
    }
    constexpr std::array<int, 3> BaseRates = {44100, 48000, 32000};
    const int divisor = mpeg1 ? 1 : version == 2 ? 2 : 4;
    const int sampleRate = BaseRates[static_cast<std::size_t>(sampleRateIndex)] / divisor;
    const int padding = (data[2] >> 1) & 1;
    const qint64 bytes = (mpeg1 ? 144 : 72) * kbits * 1000 / sampleRate + padding;
    return {bytes, mpeg1 ? 1152 : 576};
}

// The size of an ID3v2 tag at the start of data, 0 when there is none.
qint64 id3v2Size(const QByteArray& data) {
    if (data.size() < 10 || !data.startsWith("ID3")) {
        return 0;
    }
    qint64 size = 0;
    for (int i = 6; i < 10; ++i) {
        size = (size << 7) | (static_cast<uchar>(data[i]) & 0x7F);
    }
    const bool footer = (static_cast<uchar>(data[5]) & 0x10) != 0;
    return 10 + size + (footer ? 10 : 0);
}

} // namespace

qint64 mp3DecodedSamples(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw Failure(
            QStringLiteral("\"%1\" could not be read: %2").arg(native(path), file.errorString()));
    }
    const QByteArray data = file.readAll();
    const auto* bytes = reinterpret_cast<const uchar*>(data.constData());
    qint64 at = id3v2Size(data);
    qint64 samples = 0;
    while (at + 4 <= data.size()) {
        const FrameHeader frame = frameAt(bytes + at);
        if (frame.bytes == 0) {
            throw Failure(QStringLiteral("\"%1\" holds no MPEG audio frame at byte %2.")
                              .arg(native(path))
                              .arg(at));
        }
        at += frame.bytes;
        samples += frame.samples;
    }
    return samples;
}

ChapterPlan::ChapterPlan(const QString& text, const std::vector<TextHeading>& headings,
                         const std::vector<PartLine>& lineStarts) {
    qsizetype scanned = 0;
    int line = 0;
    int lastLine = -1;
    for (const TextHeading& heading : headings) {
        const qsizetype until = qBound(qsizetype(0), heading.offset, text.size());
        for (; scanned < until; ++scanned) {
            line += text[scanned] == u'\n' ? 1 : 0;
        }
        if (line == lastLine || line >= static_cast<int>(lineStarts.size())) {
            continue; // one chapter per line at most
        }
        lastLine = line;
        const PartLine where = lineStarts[static_cast<std::size_t>(line)];
        WavLineMarks& marks = m_marks[where.part];
        m_headings.push_back({where.part, marks.lines.size(), heading.title});
        marks.lines.push_back(where.line);
    }
}

WavLineMarks* ChapterPlan::marksFor(int part) {
    const auto found = m_marks.find(part);
    return found == m_marks.end() ? nullptr : &found->second;
}

std::vector<Mp3Chapter> ChapterPlan::chapters(const QString& firstTitle,
                                              const QStringList& mp3Parts) const {
    if (m_headings.empty()) {
        return {};
    }
    std::vector<qint64> partStarts;
    qint64 total = 0;
    for (const QString& part : mp3Parts) {
        partStarts.push_back(total);
        total += mp3DecodedSamples(part);
    }
    std::vector<Mp3Chapter> chapters{{firstTitle, 0, total}};
    for (const Heading& heading : m_headings) {
        const auto marks = m_marks.find(heading.part);
        const auto part = static_cast<std::size_t>(heading.part - 1);
        if (part >= partStarts.size() || heading.mark >= marks->second.samples.size()) {
            throw Failure(QStringLiteral("The position of the heading \"%1\" is not known.")
                              .arg(heading.title));
        }
        const qint64 start =
            qMin(total, partStarts[part] + PartDelaySamples + marks->second.samples[heading.mark]);
        // A heading with nothing spoken before it opens the first chapter.
        if (start <= chapters.back().startSample + PartDelaySamples) {
            continue;
        }
        chapters.back().endSample = start;
        chapters.push_back({heading.title, start, total});
    }
    return chapters;
}

} // namespace vt
