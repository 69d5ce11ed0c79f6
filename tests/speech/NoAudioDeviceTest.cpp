#include "core/Failure.h"
#include "core/ProcedureTags.h"
#include "speech/reading/SpeechVoice.h"
#include "speech/reading/TestSpeedRun.h"
#include "speech/wav/SaveToWAV.h"
#include "support/RecordingDialogs.h"
#include "support/TestEnvironment.h"
#include "support/TestSpeech.h"
#include "support/WavFile.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace vt {
namespace {

using test::RecordingDialogs;
using Kind = RecordingDialogs::Kind;

// The sound server this program is pointed at does not exist, as on a
// machine without sound. Set before anything touches the audio devices.
class NoSoundServer : public ::testing::Environment {
  public:
    void SetUp() override {
        qputenv("PULSE_SERVER",
                (test::sandboxFolder() + "/no-sound-server/native").toLocal8Bit().prepend("unix:"));
    }
};
const ::testing::Environment* const noSoundServer =
    ::testing::AddGlobalTestEnvironment(new NoSoundServer);

void expectNoDeviceReportAt136(const RecordingDialogs& dialogs) {
    const QStringList reports = dialogs.textsOf(Kind::ErrorReport);
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].startsWith("There is no audio output device"))
        << reports[0].toStdString();
    EXPECT_TRUE(reports[0].contains(QString("\r\n") + tag::SaveToWAV + "at line 136\r\r"));
    EXPECT_EQ(dialogs.entries().size(), 1);
}

TEST(NoAudioDevice, SpeakingFailsAtOnceWithADescription) {
    test::TestSpeech speech;
    SpeechVoice voice(speech.voices);
    QSignalSpy done(&voice, &SpeechVoice::done);
    try {
        voice.speak("Nobody will hear this.");
        ADD_FAILURE() << "speak() did not fail";
    } catch (const Failure& failure) {
        EXPECT_TRUE(failure.description().startsWith("There is no audio output device"));
    }
    EXPECT_TRUE(voice.isDone());
    QTest::qWait(100);
    EXPECT_EQ(done.count(), 0);
}

TEST(NoAudioDevice, TestSpeedReportsItAndFinishes) {
    test::TestSpeech speech;
    RecordingDialogs dialogs;
    TestSpeedRun run;
    QSignalSpy finished(&run, &TestSpeedRun::finished);
    run.start({0, 50, 0}, speech.voices, dialogs);
    expectNoDeviceReportAt136(dialogs);
    ASSERT_TRUE(test::waitUntil([&] { return finished.count() > 0; }, 5000));
    QTest::qWait(100);
    EXPECT_EQ(finished.count(), 1);
    EXPECT_FALSE(run.isRunning());
}

TEST(NoAudioDevice, RenderingToAFileNeedsNoDevice) {
    test::TestSpeech speech;
    RecordingDialogs dialogs;
    const QString text = test::sandboxFolder() + "/temp/part.txt";
    const QString wav = test::sandboxFolder() + "/temp/part.wav";
    test::writeAll(text, "Files are written without any sound.");
    SaveToWAV(text, wav, {0, 50, 0}, speech.voices, dialogs);
    EXPECT_TRUE(dialogs.entries().isEmpty());
    EXPECT_GT(test::readWav(wav).seconds(), 1.0);
}

} // namespace
} // namespace vt
