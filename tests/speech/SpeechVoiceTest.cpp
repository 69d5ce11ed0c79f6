#include "speech/reading/SpeechVoice.h"

#include "core/Failure.h"
#include "speech/reading/TestSpeedRun.h"
#include "speech/wav/SaveToWAV.h"
#include "support/AudioServer.h"
#include "support/RecordingDialogs.h"
#include "support/TestEnvironment.h"
#include "support/TestSpeech.h"
#include "support/WavFile.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>

namespace vt {
namespace {

const ::testing::Environment* const audioServer =
    ::testing::AddGlobalTestEnvironment(new test::AudioServerEnvironment);

constexpr int Rate = 22050;
constexpr qint16 SilenceLevel = 16;

using test::RecordingDialogs;

// Heard and rendered speech differ by the engine's noise and the sound
// server's timing: a few hundredths of a second.
double tolerance(double seconds) {
    return 0.1 + seconds * 0.03;
}

// Seconds of a recording that carry sound, counted in 10 ms blocks.
double audibleSeconds(const std::vector<qint16>& samples, std::size_t from = 0,
                      std::size_t to = static_cast<std::size_t>(-1)) {
    to = std::min(to, samples.size());
    constexpr std::size_t Block = Rate / 100;
    std::size_t audibleBlocks = 0;
    for (std::size_t start = from; start + Block <= to; start += Block) {
        for (std::size_t i = start; i < start + Block; ++i) {
            if (std::abs(samples[i]) > SilenceLevel) {
                ++audibleBlocks;
                break;
            }
        }
    }
    return audibleBlocks / 100.0;
}

// Index of the first and one past the last audible sample, or {0, 0}.
std::pair<std::size_t, std::size_t> audibleSpan(const std::vector<qint16>& samples) {
    std::size_t first = samples.size();
    std::size_t last = 0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (std::abs(samples[i]) > SilenceLevel) {
            first = std::min(first, i);
            last = i + 1;
        }
    }
    return first < last ? std::make_pair(first, last) : std::pair<std::size_t, std::size_t>(0, 0);
}

class SpeechVoiceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        VT_REQUIRE_AUDIO();
        ASSERT_TRUE(recorder.start()) << "parec does not run";
        // Let the recording settle before anything plays.
        QTest::qWait(200);
    }

    // How long the sound of the same speech lasts when rendered to a file,
    // from its first audible sample to its last.
    double renderedSeconds(const QString& text, const VoiceChoice& choice) {
        const QString textPath = test::sandboxFolder() + "/temp/measure.txt";
        const QString wavPath = test::sandboxFolder() + "/temp/measure.wav";
        test::writeAll(textPath, text.toUtf8());
        RecordingDialogs quiet;
        SaveToWAV(textPath, wavPath, choice, speech.voices, quiet);
        const auto [first, last] = audibleSpan(test::readWav(wavPath).samples);
        return static_cast<double>(last - first) / Rate;
    }

    test::TestSpeech speech;
    test::MonitorRecorder recorder;
    RecordingDialogs dialogs;
};

const QString FirstPiece = QStringLiteral("Reading aloud starts with this first piece of text.");
const QString SecondPiece = QStringLiteral("And it ends with a second piece, spoken after it.");

TEST_F(SpeechVoiceTest, SpeaksEveryPieceAndIsDoneOnlyWhenAllWasHeard) {
    SpeechVoice voice(speech.voices);
    voice.selectVoice(0);
    voice.setRate(2);
    QSignalSpy done(&voice, &SpeechVoice::done);
    QSignalSpy failed(&voice, &SpeechVoice::failed);
    EXPECT_TRUE(voice.isDone());
    voice.speak(FirstPiece);
    voice.speak(SecondPiece);
    EXPECT_FALSE(voice.isDone());
    ASSERT_TRUE(test::waitUntil([&] { return done.count() > 0; }, 60000));
    const std::size_t atDone = recorder.samples().size();
    QTest::qWait(600);
    const std::vector<qint16>& heard = recorder.samples();

    EXPECT_TRUE(voice.isDone());
    EXPECT_EQ(done.count(), 1);
    EXPECT_EQ(failed.count(), 0);
    // Both pieces were heard, about as long as the rendered file of the two.
    const double expected = renderedSeconds(FirstPiece + ' ' + SecondPiece, {0, 100, 2});
    const auto [first, last] = audibleSpan(heard);
    const double heardSeconds = static_cast<double>(last - first) / Rate;
    EXPECT_NEAR(heardSeconds, expected, expected * 0.2) << "heard " << heardSeconds;
    EXPECT_GT(audibleSeconds(heard), expected * 0.5);
    // Nothing was left to play when done() came.
    EXPECT_LT(audibleSeconds(heard, atDone + Rate / 10), 0.02);
}

TEST_F(SpeechVoiceTest, PauseStopsTheSamplesUntilResumeAndPausesAreCounted) {
    QString text;
    for (int i = 0; i < 4; ++i) {
        text += FirstPiece + ' ';
    }
    SpeechVoice voice(speech.voices);
    QSignalSpy done(&voice, &SpeechVoice::done);
    voice.speak(text);
    ASSERT_TRUE(test::waitUntil([&] { return audibleSeconds(recorder.samples()) > 1.0; }, 30000));

    voice.pause();
    voice.pause();
    const std::size_t pausedAt = recorder.samples().size();
    QTest::qWait(1000);
    voice.resume(); // one pause is still in force
    QTest::qWait(800);
    const std::size_t resumedAt = recorder.samples().size();
    EXPECT_EQ(voice.pauseDepth(), 1);
    EXPECT_EQ(done.count(), 0);
    EXPECT_FALSE(voice.isDone());
    voice.resume();
    EXPECT_EQ(voice.pauseDepth(), 0);
    voice.resume(); // without a pause: nothing happens
    EXPECT_EQ(voice.pauseDepth(), 0);
    ASSERT_TRUE(test::waitUntil([&] { return done.count() > 0; }, 60000));
    QTest::qWait(300);
    const std::vector<qint16>& heard = recorder.samples();

    // Silence from shortly after the pause to the last resume: about 1.8 s.
    ASSERT_GT(resumedAt, pausedAt + Rate);
    EXPECT_EQ(audibleSeconds(heard, pausedAt + Rate / 5, resumedAt), 0.0);
    EXPECT_GT(audibleSeconds(heard, resumedAt), 1.0);
    // The whole text was still heard, in about its own length plus the pause.
    const double expected = renderedSeconds(text, {-1, 100, 0});
    const auto [first, last] = audibleSpan(heard);
    const double paused = static_cast<double>(resumedAt - pausedAt) / Rate;
    EXPECT_NEAR(static_cast<double>(last - first) / Rate - paused, expected, tolerance(expected));
}

TEST_F(SpeechVoiceTest, DestroyingTheVoiceStopsTheSpeechAtOnce) {
    QString text;
    for (int i = 0; i < 10; ++i) {
        text += SecondPiece + ' ';
    }
    auto voice = std::make_unique<SpeechVoice>(speech.voices);
    voice->speak(text);
    ASSERT_TRUE(test::waitUntil([&] { return audibleSeconds(recorder.samples()) > 0.5; }, 30000));
    voice.reset();
    const std::size_t stoppedAt = recorder.samples().size();
    QTest::qWait(1200);
    EXPECT_EQ(audibleSeconds(recorder.samples(), stoppedAt + Rate / 5), 0.0);
}

TEST_F(SpeechVoiceTest, VolumeAndRateAreTakenForTheSpeechStillToCome) {
    SpeechVoice voice(speech.voices);
    QSignalSpy done(&voice, &SpeechVoice::done);
    voice.setVolume(0);
    voice.speak(FirstPiece);
    ASSERT_TRUE(test::waitUntil([&] { return done.count() == 1; }, 30000));
    EXPECT_EQ(audibleSeconds(recorder.samples()), 0.0);

    voice.setVolume(100);
    voice.setRate(10);
    voice.speak(FirstPiece);
    ASSERT_TRUE(test::waitUntil([&] { return done.count() == 2; }, 30000));
    QTest::qWait(300);
    const auto [first, last] = audibleSpan(recorder.samples());
    const double expected = renderedSeconds(FirstPiece, {-1, 100, 10});
    EXPECT_NEAR(static_cast<double>(last - first) / Rate, expected, tolerance(expected));
    EXPECT_THROW(voice.setVolume(-1), Failure);
    EXPECT_THROW(voice.selectVoice(1000000), Failure);
}

TEST_F(SpeechVoiceTest, EmptyTextIsDoneWithoutSound) {
    SpeechVoice voice(speech.voices);
    QSignalSpy done(&voice, &SpeechVoice::done);
    voice.speak(QString());
    ASSERT_TRUE(test::waitUntil([&] { return done.count() == 1; }, 10000));
    EXPECT_TRUE(voice.isDone());
}

TEST_F(SpeechVoiceTest, TestSpeedSpeaksTheSentenceAndFinishesOnce) {
    TestSpeedRun run;
    QSignalSpy finished(&run, &TestSpeedRun::finished);
    run.start({0, 80, -4}, speech.voices, dialogs);
    EXPECT_TRUE(run.isRunning());
    run.start({0, 80, -4}, speech.voices, dialogs); // ignored while running
    ASSERT_TRUE(test::waitUntil([&] { return finished.count() > 0; }, 30000));
    QTest::qWait(400);
    EXPECT_EQ(finished.count(), 1);
    EXPECT_FALSE(run.isRunning());
    EXPECT_TRUE(dialogs.entries().isEmpty());
    const auto [first, last] = audibleSpan(recorder.samples());
    const double expected = renderedSeconds(TestSpeedRun::sentence(), {0, 80, -4});
    EXPECT_NEAR(static_cast<double>(last - first) / Rate, expected, tolerance(expected));
}

} // namespace
} // namespace vt
