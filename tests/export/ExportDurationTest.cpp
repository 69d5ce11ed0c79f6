#include "ExportFixture.h"
#include "speech/synthesis/RateMapping.h"
#include "speech/voices/VoiceCatalogue.h"

#include <QProcess>

namespace vt {
namespace {

class ExportDurationTest : public test::ExportFixture {};

// What the engine's own program makes of the same text, voice and rate.
double espeakSeconds(const VoiceCatalogue& voices, const QString& textPath, const QString& wavPath,
                     int rate) {
    QProcess espeak;
    espeak.start("espeak-ng", {"-w", wavPath, "-f", textPath, "-v",
                               QString::fromLatin1(voices.defaultVoiceIdentifier()), "-s",
                               QString::number(engineRateFor(rate).wordsPerMinute)});
    if (!espeak.waitForFinished(120000) || espeak.exitCode() != 0) {
        return -1;
    }
    return test::wavSeconds(wavPath);
}

TEST_F(ExportDurationTest, APageOfOneLineSentencesLastsAsLongAsTheEngineSaysIt) {
    // Each sentence on a line of its own, lower case: run together, the lines
    // would lose their pauses and say "dot" between the sentences.
    const QByteArray text = test::sentences(200, 5);
    m_server.page("/sentences.txt", text, "text/plain; charset=utf-8");
    const QString textPath = m_out.filePath("sentences.txt");
    test::writeAll(textPath, text);

    const ExportResult result =
        runJob(m_server.url("/sentences.txt"), outFolder(), VoiceChoice{-1, 100, 0});
    ASSERT_TRUE(result.mp3Made) << result.message.toStdString();
    const test::DecodedMp3 decoded = test::decodeMp3(result.mp3Path);
    ASSERT_TRUE(decoded.ok);

    const double expected =
        espeakSeconds(m_speech.voices, textPath, m_out.filePath("espeak.wav"), 0);
    ASSERT_GT(expected, 200.0);
    EXPECT_NEAR(decoded.seconds, expected, expected * 0.03);
    QFile::remove(textPath);
    QFile::remove(m_out.filePath("espeak.wav"));
}

} // namespace
} // namespace vt
