#include "export/WAVToMP3.h"

#include "ExportTestSupport.h"
#include "core/Failure.h"
#include "export/Encoder.h"
#include "support/RecordingDialogs.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <future>
#include <gtest/gtest.h>

namespace vt {
namespace {

using test::RecordingDialogs;

class WAVToMP3Test : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString path(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    RecordingDialogs m_dialogs;
};

TEST_F(WAVToMP3Test, EncodesWithTheInstalledEncoder) {
    ASSERT_FALSE(findEncoder().isEmpty()) << "the lame package is not installed";
    EXPECT_TRUE(findEncoder().endsWith("/lame"));
    test::writeToneWav(path("tone.wav"), 3.0);
    WAVToMP3(path("tone.wav"), path("tone.mp3"), m_dialogs);
    const test::DecodedMp3 decoded = test::decodeMp3(path("tone.mp3"));
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.sampleRate, 22050);
    EXPECT_NEAR(decoded.seconds, 3.0, 0.1);
    EXPECT_TRUE(decoded.warnings.isEmpty()) << decoded.warnings.toStdString();
    EXPECT_TRUE(m_dialogs.entries().isEmpty());
}

TEST_F(WAVToMP3Test, PathsWithSpacesAndQuotesReachTheEncoderWhole) {
    const QString folder = path("my \"odd\" folder; $(x) & `y`");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString wav = folder + "/part one.wav";
    const QString mp3 = folder + "/part one 'final'.mp3";
    test::writeToneWav(wav, 1.0);
    WAVToMP3(wav, mp3, m_dialogs);
    EXPECT_TRUE(test::decodeMp3(mp3).ok);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 2);
}

TEST_F(WAVToMP3Test, MissingEncoderThrowsAndWritesNothing) {
    test::writeToneWav(path("tone.wav"), 1.0);
    const test::ScopedPath noLame(path("empty-bin"));
    EXPECT_TRUE(findEncoder().isEmpty());
    try {
        WAVToMP3(path("tone.wav"), path("tone.mp3"), m_dialogs);
        FAIL() << "no failure for a missing encoder";
    } catch (const Failure& failure) {
        EXPECT_TRUE(failure.description().contains("\"lame\" was not found"));
    }
    EXPECT_FALSE(QFile::exists(path("tone.mp3")));
}

TEST_F(WAVToMP3Test, FailingEncoderThrowsItsExitCodeAndRemovesItsOutput) {
    test::writeToneWav(path("tone.wav"), 1.0);
    const QString bin = test::makeScriptFolder(
        m_dir.path(), "lame", "printf 'half' > \"$3\"\necho 'lame: disk on fire' >&2\nexit 3\n");
    const test::ScopedPath fakeLame(bin);
    try {
        WAVToMP3(path("tone.wav"), path("tone.mp3"), m_dialogs);
        FAIL() << "no failure for a failing encoder";
    } catch (const Failure& failure) {
        EXPECT_TRUE(failure.description().contains("exit code 3"));
        EXPECT_TRUE(failure.description().contains("lame: disk on fire"));
    }
    EXPECT_FALSE(QFile::exists(path("tone.mp3")));
}

TEST_F(WAVToMP3Test, RealEncoderRefusingItsInputIsAFailure) {
    try {
        WAVToMP3(path("missing.wav"), path("missing.mp3"), m_dialogs);
        FAIL() << "the encoder's refusal went unnoticed";
    } catch (const Failure& failure) {
        EXPECT_TRUE(failure.description().contains("failed with exit code"));
        EXPECT_TRUE(failure.description().contains("missing.wav"));
    }
    EXPECT_FALSE(QFile::exists(path("missing.mp3")));
}

TEST_F(WAVToMP3Test, EncoderSucceedingWithoutOutputIsAFailure) {
    test::writeToneWav(path("tone.wav"), 1.0);
    const test::ScopedPath fakeLame(test::makeScriptFolder(m_dir.path(), "lame", "exit 0\n"));
    EXPECT_THROW(WAVToMP3(path("tone.wav"), path("tone.mp3"), m_dialogs), Failure);
}

TEST_F(WAVToMP3Test, CancelKillsTheEncoderQuietly) {
    test::writeToneWav(path("tone.wav"), 1.0);
    const test::ScopedPath slowLame(test::makeScriptFolder(
        m_dir.path(), "lame", "printf 'partial' > \"$3\"\nexec /bin/sleep 60\n"));
    std::atomic_bool cancel{false};
    auto done = std::async(std::launch::async, [&] {
        WAVToMP3(path("tone.wav"), path("tone.mp3"), m_dialogs, &cancel);
    });
    ASSERT_TRUE(test::waitUntil([&] { return QFile::exists(path("tone.mp3")); }));
    cancel = true;
    EXPECT_NO_THROW(done.get());
    EXPECT_FALSE(QFile::exists(path("tone.mp3")));
    EXPECT_EQ(test::runningChildren("sleep"), 0);
    EXPECT_TRUE(m_dialogs.entries().isEmpty());
}

} // namespace
} // namespace vt
