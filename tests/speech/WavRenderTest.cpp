#include "core/ErrorReport.h"
#include "core/Failure.h"
#include "core/ProcedureTags.h"
#include "speech/voices/VoiceCatalogue.h"
#include "speech/wav/SaveToWAV.h"
#include "support/RecordingDialogs.h"
#include "support/TestEnvironment.h"
#include "support/TestSpeech.h"
#include "support/WavFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <thread>

namespace vt {
namespace {

using test::readWav;
using test::RecordingDialogs;
using Kind = RecordingDialogs::Kind;

const QString Sentence = QStringLiteral(
    "The quick brown fox jumps over the lazy dog. It was a bright cold day in April.");

// The engine's noise differs from one call to the next, so two renderings
// of the same text by the same voice match in length and level, not sample
// for sample.
void expectSameVoice(const test::WavFile& a, const test::WavFile& b) {
    EXPECT_NEAR(a.seconds() / b.seconds(), 1.0, 0.01);
    EXPECT_NEAR(test::rms(a.samples) / test::rms(b.samples), 1.0, 0.03);
}

class WavRenderTest : public ::testing::Test {
  protected:
    QString folder() const { return test::sandboxFolder() + "/temp"; }

    QString writeText(const QString& text, const QString& name = "part.txt") {
        const QString path = folder() + "/" + name;
        test::writeAll(path, text.toUtf8());
        return path;
    }

    test::WavFile render(const QString& text, const VoiceChoice& choice) {
        const QString wav = folder() + "/part.wav";
        QFile::remove(wav);
        SaveToWAV(writeText(text), wav, choice, speech.voices, dialogs);
        return readWav(wav);
    }

    test::TestSpeech speech;
    RecordingDialogs dialogs;
};

TEST_F(WavRenderTest, WritesA22kHzMono16BitPcmFileWithAHeaderThatMatches) {
    const test::WavFile wav = render(Sentence, {0, 100, 0});
    EXPECT_TRUE(wav.problem.isEmpty()) << wav.problem.toStdString();
    EXPECT_EQ(wav.formatTag, 1);
    EXPECT_EQ(wav.channels, 1);
    EXPECT_EQ(wav.sampleRate, 22050u);
    EXPECT_EQ(wav.bitsPerSample, 16);
    EXPECT_EQ(wav.byteRate, 44100u);
    EXPECT_EQ(wav.blockAlign, 2);
    // Two sentences at 175 words per minute: a few seconds.
    EXPECT_GT(wav.seconds(), 2.0);
    EXPECT_LT(wav.seconds(), 12.0);
    EXPECT_GT(test::rms(wav.samples), 300.0);
    EXPECT_TRUE(dialogs.entries().isEmpty());
}

TEST_F(WavRenderTest, DurationShrinksAtEveryStepOfTheRate) {
    double previous = 1e9;
    std::map<int, double> seconds;
    for (int rate = -10; rate <= 10; ++rate) {
        const test::WavFile wav = render(Sentence, {0, 100, rate});
        ASSERT_TRUE(wav.problem.isEmpty());
        seconds[rate] = wav.seconds();
        EXPECT_LT(wav.seconds(), previous) << "rate " << rate;
        previous = wav.seconds();
    }
    // Below the engine's floor the stretching still follows 3^(1/10) a step.
    EXPECT_NEAR(seconds[-10] / seconds[-8], std::pow(3.0, 0.2), 0.08);
    EXPECT_GT(seconds[-10] / seconds[0], 2.0);
    EXPECT_GT(seconds[0] / seconds[10], 2.0);
    EXPECT_TRUE(dialogs.entries().isEmpty());
}

TEST_F(WavRenderTest, SampleLevelFollowsTheVolume) {
    const test::WavFile full = render(Sentence, {0, 100, 0});
    const test::WavFile half = render(Sentence, {0, 50, 0});
    const test::WavFile tenth = render(Sentence, {0, 10, 0});
    const test::WavFile silent = render(Sentence, {0, 0, 0});
    EXPECT_NEAR(test::rms(full.samples) / test::rms(half.samples), 2.0, 0.2);
    EXPECT_NEAR(test::rms(full.samples) / test::rms(tenth.samples), 10.0, 1.5);
    EXPECT_LT(test::rms(silent.samples), 1.0);
}

TEST_F(WavRenderTest, AVoicePositionThatIsGoneIsReportedAt106ThenTheDefaultVoiceSpeaks) {
    const test::WavFile byDefault = render(Sentence, {-1, 100, 0});
    ASSERT_TRUE(dialogs.entries().isEmpty());
    const test::WavFile bad = render(Sentence, {100000, 100, 0});
    const QStringList reports = dialogs.textsOf(Kind::ErrorReport);
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].startsWith("There is no voice at position 100000"));
    EXPECT_TRUE(reports[0].contains(QString("\r\n") + tag::SaveToWAV + "at line 106\r\r"));
    EXPECT_EQ(dialogs.entries().size(), 1);
    expectSameVoice(bad, byDefault);
    // The default voice is the first in the list.
    expectSameVoice(render(Sentence, {0, 100, 0}), byDefault);
    // Another voice speaks the same text differently.
    const int german = static_cast<int>(speech.voices.voiceNames().indexOf("German"));
    ASSERT_GT(german, 0);
    const test::WavFile other = render(Sentence, {german, 100, 0});
    EXPECT_GT(std::abs(other.seconds() / byDefault.seconds() - 1.0), 0.05);
}

TEST_F(WavRenderTest, AMissingFolderIsReportedAt120AndLeavesNoFile) {
    const QString wav = folder() + "/no such folder/part.wav";
    SaveToWAV(writeText(Sentence), wav, {0, 100, 0}, speech.voices, dialogs);
    const QStringList reports = dialogs.textsOf(Kind::ErrorReport);
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].contains(QString("\r\n") + tag::SaveToWAV + "at line 120\r\r"))
        << reports[0].toStdString();
    EXPECT_TRUE(reports[0].contains("cannot be created"));
    EXPECT_EQ(dialogs.count(Kind::Notice), 0);
    EXPECT_FALSE(QFileInfo::exists(wav));
    EXPECT_FALSE(QFileInfo::exists(folder() + "/no such folder"));
}

TEST_F(WavRenderTest, AMissingTextFileFailsTheSpeakingQuietlyWithoutAFile) {
    const QString wav = folder() + "/quiet.wav";
    SaveToWAV(folder() + "/missing.txt", wav, {0, 100, 0}, speech.voices, dialogs);
    EXPECT_TRUE(dialogs.entries().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(wav));
    // The next rendering speaks as usual.
    EXPECT_GT(render(Sentence, {0, 100, 0}).seconds(), 2.0);
    EXPECT_TRUE(dialogs.entries().isEmpty());
}

TEST_F(WavRenderTest, CancellingRemovesThePartialFile) {
    QString longText;
    for (int i = 0; i < 3000; ++i) {
        longText += Sentence + ' ';
    }
    const test::WavFile firstRender = render(Sentence, {0, 100, 0});
    const QString textPath = writeText(longText, "long.txt");
    const QString wav = folder() + "/long.wav";
    std::stop_source cancel;
    std::atomic_bool finished{false};
    std::thread renderer([&] {
        SaveToWAV(textPath, wav, {0, 100, 0}, speech.voices, dialogs, cancel.get_token());
        finished = true;
    });
    // Cancel once the rendering is well under way.
    const bool started = test::waitUntil([&] { return QFileInfo(wav).size() > 2'000'000; }, 60000);
    cancel.request_stop();
    renderer.join();
    EXPECT_TRUE(started);
    EXPECT_TRUE(finished);
    EXPECT_FALSE(QFileInfo::exists(wav));
    EXPECT_TRUE(dialogs.entries().isEmpty());

    // The engine speaks as before after a cancelled run.
    expectSameVoice(render(Sentence, {0, 100, 0}), firstRender);
    SaveToWAV(textPath, wav, {0, 100, 0}, speech.voices, dialogs, cancel.get_token());
    EXPECT_FALSE(QFileInfo::exists(wav));
}

TEST_F(WavRenderTest, EveryListedVoiceSpeaks) {
    const QStringList names = speech.voices.voiceNames();
    for (int position = 0; position < names.size(); ++position) {
        const test::WavFile wav = render(QStringLiteral("Hello 42."), {position, 100, 0});
        EXPECT_GT(wav.seconds(), 0.2) << names[position].toStdString();
    }
    EXPECT_TRUE(dialogs.entries().isEmpty()) << dialogs.entries().front().text.toStdString();
}

TEST_F(WavRenderTest, OddTextStillGivesAValidFile) {
    const test::WavFile empty = render(QString(), {0, 100, 0});
    EXPECT_TRUE(empty.problem.isEmpty());
    EXPECT_EQ(empty.dataSize, 0u);
    const QString odd = QString::fromUtf8("\x01\x02 <b>tag</b> &amp; \u4e2d\u6587 \U0001F600 ") +
                        QChar(0) + QString::fromUtf8(" \xe2\x80\xa8 end.");
    const test::WavFile wav = render(odd, {0, 100, 0});
    EXPECT_TRUE(wav.problem.isEmpty());
    EXPECT_GT(wav.seconds(), 0.5);
    EXPECT_TRUE(dialogs.entries().isEmpty());
}

} // namespace
} // namespace vt
