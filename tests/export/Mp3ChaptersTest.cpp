#include "export/mp3/Mp3Chapters.h"

#include "ExportFixture.h"
#include "export/JoinFiles.h"
#include "export/mp3/Mp3Tags.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <chapterframe.h>
#include <cmath>
#include <commentsframe.h>
#include <id3v2tag.h>
#include <mpegfile.h>
#include <tableofcontentsframe.h>
#include <vector>

namespace vt {
namespace {

constexpr int Rate = 22050;

QString text(const TagLib::String& s) {
    return QString::fromStdString(s.to8Bit(true));
}

// A WAV of silence with a tone from onset (a sample) to the end.
void writeOnsetWav(const QString& path, qint64 samples, qint64 onset) {
    QByteArray pcm(static_cast<qsizetype>(samples * 2), '\0');
    for (qint64 i = onset; i < samples; ++i) {
        const auto v = static_cast<qint16>(12000 * std::sin(2 * M_PI * 440.0 * double(i) / Rate));
        pcm[static_cast<qsizetype>(2 * i)] = static_cast<char>(v & 0xFF);
        pcm[static_cast<qsizetype>(2 * i + 1)] = static_cast<char>((v >> 8) & 0xFF);
    }
    QByteArray header("RIFF");
    const auto le32 = [&header](quint32 v) {
        for (int b = 0; b < 4; ++b) {
            header.append(static_cast<char>((v >> (8 * b)) & 0xFF));
        }
    };
    le32(static_cast<quint32>(36 + pcm.size()));
    header += "WAVEfmt ";
    le32(16);
    header += QByteArray::fromHex("01000100");
    le32(Rate);
    le32(Rate * 2);
    header += QByteArray::fromHex("02001000");
    header += "data";
    le32(static_cast<quint32>(pcm.size()));
    test::writeAll(path, header + pcm);
}

// The decoded samples of an MP3 file, by ffmpeg (a decoder of its own).
std::vector<qint16> decodeWithFfmpeg(const QString& mp3, QString* warnings = nullptr) {
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-nostdin", "-v", "error", "-i", mp3, "-f", "s16le", "-ac", "1", "-"});
    EXPECT_TRUE(ffmpeg.waitForFinished(60000));
    EXPECT_EQ(ffmpeg.exitCode(), 0);
    const QByteArray raw = ffmpeg.readAllStandardOutput();
    if (warnings) {
        *warnings = QString::fromUtf8(ffmpeg.readAllStandardError()).trimmed();
    }
    std::vector<qint16> samples(static_cast<std::size_t>(raw.size() / 2));
    std::memcpy(samples.data(), raw.constData(), samples.size() * 2);
    return samples;
}

QString encode(const QString& wav) {
    QString mp3 = wav;
    mp3.replace(".wav", ".mp3");
    QProcess lame;
    lame.start("lame", {"--quiet", "-h", wav, mp3});
    EXPECT_TRUE(lame.waitForFinished(60000));
    EXPECT_EQ(lame.exitCode(), 0);
    return mp3;
}

class ChapterTimingTest : public test::ExportFixture {};

// The marks sit at the onset of a tone in each part; after the encoder's
// delay and the joins, the chapters must start where a decoder hears the tones.
TEST_F(ChapterTimingTest, ChaptersStartWhereTheDecoderHearsTheMarkedSamples) {
    const std::vector<std::pair<qint64, qint64>> parts = {
        {30011, 9000}, {25000, 4321}, {40123, 17777}}; // length, onset
    QStringList mp3s;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const QString wav = outPath(QString("part%1.wav").arg(i + 1));
        writeOnsetWav(wav, parts[i].first, parts[i].second);
        mp3s.append(encode(wav));
        QFile::remove(wav);
    }
    // Three lines, one per part, each a heading.
    const QString pageText = "one\ntwo\nthree\n";
    ChapterPlan plan(pageText, {{0, "One"}, {4, "Two"}, {8, "Three"}}, {{1, 0}, {2, 0}, {3, 0}});
    for (int part = 1; part <= 3; ++part) {
        WavLineMarks* marks = plan.marksFor(part);
        ASSERT_NE(marks, nullptr);
        EXPECT_EQ(marks->lines, std::vector<int>{0});
        marks->samples = {parts[static_cast<std::size_t>(part - 1)].second};
    }
    const std::vector<Mp3Chapter> chapters = plan.chapters("Title", mp3s);
    ASSERT_TRUE(JoinFilesAtomically(mp3s, outPath("joined.mp3")));
    const std::vector<qint16> decoded = decodeWithFfmpeg(outPath("joined.mp3"));

    // Heard onsets: the first loud sample after each quiet stretch.
    std::vector<qint64> heard;
    qint64 quiet = 0;
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        if (std::abs(decoded[i]) > 3000) {
            if (quiet > 2000) {
                heard.push_back(static_cast<qint64>(i));
            }
            quiet = 0;
        } else {
            ++quiet;
        }
    }
    ASSERT_EQ(heard.size(), 3u);
    ASSERT_EQ(chapters.size(), 4u);
    EXPECT_EQ(chapters[0].title, "Title");
    EXPECT_EQ(chapters[0].startSample, 0);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(chapters[i + 1].title, QStringList({"One", "Two", "Three"})[int(i)]);
        // The tone rises within its first half period.
        EXPECT_NEAR(chapters[i + 1].startSample, heard[i], 30) << i;
        EXPECT_EQ(chapters[i].endSample, chapters[i + 1].startSample);
    }
    EXPECT_EQ(chapters.back().endSample, static_cast<qint64>(decoded.size()));
    qint64 total = 0;
    for (const QString& mp3 : mp3s) {
        total += mp3DecodedSamples(mp3);
    }
    EXPECT_EQ(total, static_cast<qint64>(decoded.size()));
}

TEST(Mp3DecodedSamples, RefusesWhatIsNotMpegAudio) {
    QTemporaryDir dir;
    const QString path = dir.filePath("not.mp3");
    test::writeAll(path, QByteArray(600, 'x'));
    EXPECT_THROW(mp3DecodedSamples(path), Failure);
    EXPECT_THROW(mp3DecodedSamples(dir.filePath("missing.mp3")), Failure);
}

// What TagLib reads back of the chapters and the comments.
struct ReadChapters {
    struct Chapter {
        QByteArray id;
        QString title;
        unsigned start = 0, end = 0;
    };
    std::vector<Chapter> chapters;
    int tables = 0;
    bool topLevel = false, ordered = false;
    QList<QByteArray> children;
    QStringList comments; // "description: text"
};

ReadChapters readChapters(const QString& path) {
    TagLib::MPEG::File file(QFile::encodeName(path).constData());
    ReadChapters read;
    TagLib::ID3v2::Tag* tag = file.ID3v2Tag();
    if (!tag) {
        return read;
    }
    for (TagLib::ID3v2::Frame* frame : tag->frameList("CHAP")) {
        auto* chapter = dynamic_cast<TagLib::ID3v2::ChapterFrame*>(frame);
        if (!chapter) {
            continue;
        }
        ReadChapters::Chapter c;
        c.id = QByteArray(chapter->elementID().data(), chapter->elementID().size());
        const TagLib::ID3v2::FrameList titles = chapter->embeddedFrameList("TIT2");
        c.title = titles.isEmpty() ? QString() : text(titles.front()->toString());
        c.start = chapter->startTime();
        c.end = chapter->endTime();
        read.chapters.push_back(c);
    }
    for (TagLib::ID3v2::Frame* frame : tag->frameList("CTOC")) {
        auto* toc = dynamic_cast<TagLib::ID3v2::TableOfContentsFrame*>(frame);
        ++read.tables;
        read.topLevel = toc->isTopLevel();
        read.ordered = toc->isOrdered();
        for (const TagLib::ByteVector& child : toc->childElements()) {
            read.children.append(QByteArray(child.data(), child.size()));
        }
    }
    for (TagLib::ID3v2::Frame* frame : tag->frameList("COMM")) {
        auto* comment = static_cast<TagLib::ID3v2::CommentsFrame*>(frame);
        read.comments.append(text(comment->description()) + ": " + text(comment->text()));
    }
    return read;
}

struct ProbedChapter {
    double start = 0, end = 0;
    QString title;
};

std::vector<ProbedChapter> probeChapters(const QString& path, double* duration) {
    QProcess ffprobe;
    ffprobe.start("ffprobe",
                  {"-v", "error", "-show_chapters", "-show_format", "-of", "json", path});
    EXPECT_TRUE(ffprobe.waitForFinished(30000));
    const QJsonObject json = QJsonDocument::fromJson(ffprobe.readAllStandardOutput()).object();
    *duration = json["format"].toObject()["duration"].toString().toDouble();
    std::vector<ProbedChapter> chapters;
    for (const QJsonValue& value : json["chapters"].toArray()) {
        const QJsonObject c = value.toObject();
        chapters.push_back({c["start_time"].toString().toDouble(),
                            c["end_time"].toString().toDouble(),
                            c["tags"].toObject()["title"].toString()});
    }
    return chapters;
}

// Runs of at least 150 ms where the decoded audio stays below 1% of full
// scale, in seconds.
std::vector<std::pair<double, double>> silences(const std::vector<qint16>& samples) {
    constexpr std::size_t Window = Rate / 100; // 10 ms
    std::vector<std::pair<double, double>> runs;
    std::size_t runStart = 0;
    bool inRun = false;
    for (std::size_t w = 0; w * Window < samples.size(); ++w) {
        int peak = 0;
        for (std::size_t i = w * Window; i < std::min(samples.size(), (w + 1) * Window); ++i) {
            peak = std::max(peak, std::abs(int(samples[i])));
        }
        const bool silent = peak < 330;
        if (silent && !inRun) {
            runStart = w;
            inRun = true;
        } else if (!silent && inRun) {
            inRun = false;
            if (w - runStart >= 15) {
                runs.emplace_back(runStart / 100.0, w / 100.0);
            }
        }
    }
    return runs;
}

// What the engine's own program takes to say a text, in seconds, each line a phrase.
double espeakSays(const QString& words, const QString& folder, const VoiceCatalogue& voices) {
    const QString wav = folder + "/section.wav";
    QProcess espeak;
    espeak.start("espeak-ng",
                 {"-w", wav, "-v", QString::fromLatin1(voices.defaultVoiceIdentifier()), "-s",
                  "175", words});
    EXPECT_TRUE(espeak.waitForFinished(60000));
    const double seconds = test::wavSeconds(wav);
    QFile::remove(wav);
    return seconds;
}

class ChapteredExportTest : public test::ExportFixture {};

TEST_F(ChapteredExportTest, FiveHeadingsGiveSixChaptersAtTheirPauses) {
    const QStringList headings = {"First light", "The market", "Weather", "Tides", "Evening"};
    const QStringList paragraphs = {
        "The boats leave early in the morning.",
        "Fish is sold on the quay. The prices change every hour. Buyers come from far away.",
        "Storms come in from the west. The wind turns quickly.",
        "The water rises twice a day. Old sailors know the times by heart. They never write "
        "them down. Children learn them too.",
        "The lights go on along the wall."};
    QByteArray html = "<!doctype html><html><head><title>Harbour Notes</title>"
                      "<meta name=\"description\" content=\"Notes on the harbour.\">"
                      "<meta property=\"og:description\" content=\"Five notes about a harbour.\">"
                      "</head><body><p>This page is about the harbour. It has five parts.</p>"
                      "<h2 style=\"display:none\">Hidden</h2>";
    for (int i = 0; i < headings.size(); ++i) {
        html += (i == 3 ? "<h3>" : "<h2>") + headings[i].toUtf8() + (i == 3 ? "</h3>" : "</h2>");
        html += "<p>" + paragraphs[i].toUtf8() + "</p>";
    }
    html += "</body></html>";
    m_server.page("/harbour", html);

    const ExportResult result = runJob(m_server.url("/harbour"), outFolder(), {-1, 100, 0});
    ASSERT_TRUE(result.mp3Made) << result.message.toStdString();

    const ReadChapters read = readChapters(result.mp3Path);
    ASSERT_EQ(read.chapters.size(), 6u);
    EXPECT_EQ(read.chapters[0].title, "Harbour Notes");
    EXPECT_EQ(read.chapters[0].start, 0u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(read.chapters[std::size_t(i) + 1].title, headings[i]);
    }
    EXPECT_EQ(read.tables, 1);
    EXPECT_TRUE(read.topLevel);
    EXPECT_TRUE(read.ordered);
    ASSERT_EQ(read.children.size(), 6);
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(read.children[int(i)], read.chapters[i].id);
    }
    EXPECT_EQ(read.comments, QStringList({": " + m_server.url("/harbour"),
                                          "description: Five notes about a harbour."}));

    // A decoder of its own, a player's view of the chapters and the duration.
    const test::DecodedMp3 decoded = test::decodeMp3(result.mp3Path);
    ASSERT_TRUE(decoded.ok);
    EXPECT_TRUE(decoded.warnings.isEmpty()) << decoded.warnings.toStdString();
    QString ffmpegWarnings;
    const std::vector<qint16> samples = decodeWithFfmpeg(result.mp3Path, &ffmpegWarnings);
    EXPECT_TRUE(ffmpegWarnings.isEmpty()) << ffmpegWarnings.toStdString();
    const double seconds = double(samples.size()) / Rate;
    EXPECT_NEAR(decoded.seconds, seconds, 0.001);
    double probedDuration = 0;
    const std::vector<ProbedChapter> probed = probeChapters(result.mp3Path, &probedDuration);
    EXPECT_NEAR(probedDuration, seconds, 0.03);
    ASSERT_EQ(probed.size(), 6u);
    EXPECT_NEAR(probed.back().end, seconds, 0.001);
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_NEAR(probed[i].start, read.chapters[i].start / 1000.0, 0.0005);
        EXPECT_EQ(probed[i].title, read.chapters[i].title);
        if (i > 0) {
            EXPECT_DOUBLE_EQ(probed[i - 1].end, probed[i].start);
        }
    }

    // Each heading's chapter starts in the pause before the heading is said...
    const auto pauses = silences(samples);
    for (std::size_t i = 1; i < 6; ++i) {
        const double start = probed[i].start;
        const bool inPause = std::any_of(pauses.begin(), pauses.end(), [start](const auto& p) {
            return start >= p.first - 0.06 && start <= p.second + 0.06;
        });
        EXPECT_TRUE(inPause) << "chapter " << i << " at " << start;
    }
    // ...and lasts as long as the engine's own program takes to say the
    // heading and its paragraph (a chapter one line off would not).
    for (int i = 0; i < 5; ++i) {
        // Lines as the page text has them, each sentence on a line of its own
        // as the export says it.
        const QString section =
            headings[i].toLower() + "\n\n" + paragraphs[i].toLower().replace(". ", ".\n") + "\n\n";
        const double expected = espeakSays(section, m_out.path(), m_speech.voices);
        const double length = probed[std::size_t(i) + 1].end - probed[std::size_t(i) + 1].start;
        EXPECT_NEAR(length, expected, 0.3 + expected * 0.1) << headings[i].toStdString();
    }
}

TEST_F(ChapteredExportTest, APageWithoutHeadingsHasNoChapters) {
    m_server.page("/plain", "<html><head><title>Plain</title>"
                            "<meta name=\"description\" content=\" A page  of words. \"></head>"
                            "<body><p>" +
                                test::sentences(3, 4) + "</p></body></html>");
    const ExportResult result = runJob(m_server.url("/plain"), outFolder(), {-1, 100, 5});
    ASSERT_TRUE(result.mp3Made) << result.message.toStdString();
    const ReadChapters read = readChapters(result.mp3Path);
    EXPECT_TRUE(read.chapters.empty());
    EXPECT_EQ(read.tables, 0);
    EXPECT_EQ(read.comments,
              QStringList({": " + m_server.url("/plain"), "description: A page of words."}));
    double duration = 0;
    EXPECT_TRUE(probeChapters(result.mp3Path, &duration).empty());
    const test::DecodedMp3 decoded = test::decodeMp3(result.mp3Path);
    ASSERT_TRUE(decoded.ok);
    EXPECT_TRUE(decoded.warnings.isEmpty()) << decoded.warnings.toStdString();
    EXPECT_NEAR(duration, decoded.seconds, 0.03);
}

} // namespace
} // namespace vt
