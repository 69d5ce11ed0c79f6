#include "speech/FileVoice.h"
#include "speech/RenderProcedure.h"
#include "speech/SaveToWAV.h"
#include "speech/SpeechVoice.h"
#include "speech/TestSpeedRun.h"
#include "speech/VoiceCatalogue.h"
#include "support/AudioServer.h"
#include "support/RecordingDialogs.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace vt {
namespace {

using test::RecordingDialogs;
using Kind = RecordingDialogs::Kind;

const QString BrokenName = QStringLiteral("Broken Voice");

// The installed engine data, seen through a folder of links, plus one voice
// whose dictionary is missing: a voice that is listed but cannot run.
class EngineDataWithABrokenVoice : public ::testing::Environment {
  public:
    void SetUp() override {
        QProcess espeak;
        espeak.start("espeak-ng", {"--version"});
        ASSERT_TRUE(espeak.waitForFinished(10000));
        const QString version = QString::fromLocal8Bit(espeak.readAllStandardOutput());
        const QString installed =
            QRegularExpression("Data at: (\\S+)").match(version).captured(1).trimmed();
        ASSERT_TRUE(QFileInfo(installed).isDir()) << version.toStdString();

        const QString root = test::sandboxFolder() + "/engine";
        const QString data = root + "/espeak-ng-data";
        ASSERT_TRUE(QDir().mkpath(data + "/lang/zzz"));
        for (const QFileInfo& entry :
             QDir(installed).entryInfoList(QDir::NoDotAndDotDot | QDir::AllEntries)) {
            if (entry.fileName() != "lang") {
                QFile::link(entry.filePath(), data + "/" + entry.fileName());
            }
        }
        for (const QFileInfo& entry :
             QDir(installed + "/lang").entryInfoList(QDir::NoDotAndDotDot | QDir::AllEntries)) {
            QFile::link(entry.filePath(), data + "/lang/" + entry.fileName());
        }
        test::writeAll(data + "/lang/zzz/zz", "name " + BrokenName.toUtf8() + "\nlanguage zz\n");
        qputenv("ESPEAK_DATA_PATH", QFile::encodeName(root));
    }
};
const ::testing::Environment* const engineData =
    ::testing::AddGlobalTestEnvironment(new EngineDataWithABrokenVoice);
const ::testing::Environment* const audioServer =
    ::testing::AddGlobalTestEnvironment(new test::AudioServerEnvironment);

int brokenPosition() {
    return static_cast<int>(VoiceCatalogue::voiceNames().indexOf(BrokenName));
}

void expectVoiceNotices(const RecordingDialogs& dialogs, int count) {
    const QStringList notices = dialogs.textsOf(Kind::Notice);
    ASSERT_EQ(notices.size(), count);
    for (const QString& notice : notices) {
        const QStringList parts = notice.split("\r\r");
        ASSERT_EQ(parts.size(), 2) << notice.toStdString();
        EXPECT_EQ(parts[1], "Please try selecting another voice from the dropdown.");
        EXPECT_TRUE(parts[0].contains(BrokenName) && parts[0].contains("zz_dict"))
            << parts[0].toStdString();
    }
    EXPECT_EQ(dialogs.count(Kind::ErrorReport), 0);
}

TEST(BrokenVoice, IsListedWithTheOthers) {
    EXPECT_GT(brokenPosition(), 0);
    EXPECT_GT(VoiceCatalogue::voiceNames().size(), 100);
}

TEST(BrokenVoice, RenderingAsksForAnotherVoiceOncePerPartAndLeavesNoFile) {
    RecordingDialogs dialogs;
    const QString text = test::sandboxFolder() + "/temp/part.txt";
    test::writeAll(text, "This voice cannot say anything.");
    for (int part = 1; part <= 2; ++part) {
        const QString wav = test::sandboxFolder() + QString("/temp/part%1.wav").arg(part);
        SaveToWAV(text, wav, {brokenPosition(), 100, 0}, dialogs);
        EXPECT_FALSE(QFileInfo::exists(wav));
    }
    expectVoiceNotices(dialogs, 2);
    // The rendering voice stays after a failed speaking, as the sliders expect.
    EXPECT_TRUE(FileVoice::exists());

    // The next rendering with a good voice works and releases it.
    const QString wav = test::sandboxFolder() + "/temp/good.wav";
    SaveToWAV(text, wav, {0, 100, 0}, dialogs);
    EXPECT_TRUE(QFileInfo(wav).size() > 44);
    EXPECT_FALSE(FileVoice::exists());
    expectVoiceNotices(dialogs, 2);
}

TEST(BrokenVoice, ReadingReportsEachPieceAndStillEnds) {
    VT_REQUIRE_AUDIO();
    SpeechVoice voice;
    QSignalSpy failed(&voice, &SpeechVoice::failed);
    QSignalSpy done(&voice, &SpeechVoice::done);
    voice.selectVoice(brokenPosition());
    voice.speak("First piece.");
    voice.speak("Second piece.");
    ASSERT_TRUE(test::waitUntil([&] { return done.count() > 0; }, 10000));
    EXPECT_EQ(failed.count(), 2);
    EXPECT_EQ(done.count(), 1);
    ASSERT_TRUE(voice.firstFailure().has_value());
    EXPECT_TRUE(voice.firstFailure()->voiceUnavailable);
}

TEST(BrokenVoice, TestSpeedAsksForAnotherVoice) {
    VT_REQUIRE_AUDIO();
    RecordingDialogs dialogs;
    TestSpeedRun run;
    QSignalSpy finished(&run, &TestSpeedRun::finished);
    run.start({brokenPosition(), 100, 0}, dialogs);
    ASSERT_TRUE(test::waitUntil([&] { return finished.count() > 0; }, 10000));
    EXPECT_EQ(finished.count(), 1);
    expectVoiceNotices(dialogs, 1);
}

} // namespace
} // namespace vt
