#include "ExportFixture.h"
#include "speech/synthesis/RateMapping.h"
#include "speech/voices/VoiceCatalogue.h"
#include "support/html/HtmlText.h"

#include <QProcess>

namespace vt {
namespace {

class ExportDurationTest : public test::ExportFixture {};

// What the engine's own program makes of the same text, voice and rate, and,
// with lineLength, the same line handling: a shorter line ends a clause.
double espeakSeconds(const QByteArray& voice, const QString& textPath, const QString& wavPath,
                     int rate, int lineLength = 0) {
    QProcess espeak;
    QStringList arguments = {"-w", wavPath,
                             "-f", textPath,
                             "-v", QString::fromLatin1(voice),
                             "-s", QString::number(engineRateFor(rate).wordsPerMinute)};
    if (lineLength > 0) {
        arguments << "-l" << QString::number(lineLength);
    }
    espeak.start("espeak-ng", arguments);
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

    const double expected = espeakSeconds(m_speech.voices.defaultVoiceIdentifier(), textPath,
                                          m_out.filePath("espeak.wav"), 0);
    ASSERT_GT(expected, 200.0);
    EXPECT_NEAR(decoded.seconds, expected, expected * 0.03);
    QFile::remove(textPath);
    QFile::remove(m_out.filePath("espeak.wav"));
}

TEST_F(ExportDurationTest, AGermanPageLastsAsLongAsTheEngineSaysItsRenderedText) {
    // A blog page in windows-1252, accents, quotes, dashes and prices in it: a
    // letter damaged on the way, or words split apart, would change the length.
    const QByteArray page = test::readAll(QStringLiteral(VT_TEST_PAGES "/de-blog.html"));
    m_server.page("/blog", page, "text/html");
    int position = -1;
    const std::vector<VoiceEntry>& voices = m_speech.voices.voices();
    for (std::size_t i = 0; i < voices.size(); ++i) {
        if (voices[i].identifier == "gmw/de") {
            position = static_cast<int>(i);
        }
    }
    ASSERT_GE(position, 0) << "no German voice";

    const ExportResult result =
        runJob(m_server.url("/blog"), outFolder(), VoiceChoice{position, 100, 0});
    ASSERT_TRUE(result.mp3Made) << result.message.toStdString();
    const test::DecodedMp3 decoded = test::decodeMp3(result.mp3Path);
    ASSERT_TRUE(decoded.ok);

    const QString rendered = renderedText(page);
    ASSERT_GE(rendered.count(u'.'), 16);
    const QString textPath = m_out.filePath("blog.txt");
    test::writeAll(textPath, rendered.toUtf8());
    const double expected = espeakSeconds("gmw/de", textPath, m_out.filePath("espeak.wav"), 0,
                                          SpeechEngine::PhraseLineLength);
    ASSERT_GT(expected, 60.0);
    EXPECT_NEAR(decoded.seconds, expected, expected * 0.05);
    QFile::remove(textPath);
    QFile::remove(m_out.filePath("espeak.wav"));
}

} // namespace
} // namespace vt
