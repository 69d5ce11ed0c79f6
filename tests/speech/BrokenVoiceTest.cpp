#include "speech/reading/SpeechVoice.h"
#include "speech/reading/TestSpeedRun.h"
#include "speech/voices/VoiceCatalogue.h"
#include "speech/wav/RenderProcedure.h"
#include "speech/wav/SaveToWAV.h"
#include "support/AudioServer.h"
#include "support/RecordingDialogs.h"
#include "support/TestEnvironment.h"
#include "support/TestSpeech.h"

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
// whose dictionary is missing: a voice that is listed but cannot run. The
// folder to hand the engine.
QString brokenVoiceDataRoot() {
    const QString root = test::sandboxFolder() + "/engine";
    if (QFileInfo::exists(root + "/espeak-ng-data/lang/zzz/zz")) {
        return root;
    }
    [&] {
        QProcess espeak;
        espeak.start("espeak-ng", {"--version"});
        ASSERT_TRUE(espeak.waitForFinished(10000));
        const QString version = QString::fromLocal8Bit(espeak.readAllStandardOutput());
        const QString installed =
            QRegularExpression("Data at: (\\S+)").match(version).captured(1).trimmed();
        ASSERT_TRUE(QFileInfo(installed).isDir()) << version.toStdString();

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
    }();
    return root;
}

// The engine on that data.
struct BrokenVoiceSpeech : test::TestSpeech {
    BrokenVoiceSpeech() : TestSpeech(brokenVoiceDataRoot()) {}
    int brokenPosition() const { return static_cast<int>(voices.voiceNames().indexOf(BrokenName)); }
};

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
    BrokenVoiceSpeech speech;
    EXPECT_GT(speech.brokenPosition(), 0);
    EXPECT_GT(speech.voices.voiceNames().size(), 100);
}

TEST(BrokenVoice, RenderingAsksForAnotherVoiceOncePerPartAndLeavesNoFile) {
    BrokenVoiceSpeech speech;
    RecordingDialogs dialogs;
    const QString text = test::sandboxFolder() + "/temp/part.txt";
    test::writeAll(text, "This voice cannot say anything.");
    for (int part = 1; part <= 2; ++part) {
        const QString wav = test::sandboxFolder() + QString("/temp/part%1.wav").arg(part);
        SaveToWAV(text, wav, {speech.brokenPosition(), 100, 0}, speech.voices, dialogs);
        EXPECT_FALSE(QFileInfo::exists(wav));
    }
    expectVoiceNotices(dialogs, 2);

    // The next rendering with a good voice works.
    const QString wav = test::sandboxFolder() + "/temp/good.wav";
    SaveToWAV(text, wav, {0, 100, 0}, speech.voices, dialogs);
    EXPECT_TRUE(QFileInfo(wav).size() > 44);
    expectVoiceNotices(dialogs, 2);
}

TEST(BrokenVoice, ReadingReportsEachPieceAndStillEnds) {
    VT_REQUIRE_AUDIO();
    BrokenVoiceSpeech speech;
    SpeechVoice voice(speech.voices);
    QSignalSpy failed(&voice, &SpeechVoice::failed);
    QSignalSpy done(&voice, &SpeechVoice::done);
    voice.selectVoice(speech.brokenPosition());
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
    BrokenVoiceSpeech speech;
    RecordingDialogs dialogs;
    TestSpeedRun run;
    QSignalSpy finished(&run, &TestSpeedRun::finished);
    run.start({speech.brokenPosition(), 100, 0}, speech.voices, dialogs);
    ASSERT_TRUE(test::waitUntil([&] { return finished.count() > 0; }, 10000));
    EXPECT_EQ(finished.count(), 1);
    expectVoiceNotices(dialogs, 1);
}

} // namespace
} // namespace vt
