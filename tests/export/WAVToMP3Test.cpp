#include "export/mp3/WAVToMP3.h"

#include "ExportTestSupport.h"
#include "export/mp3/Encoder.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stop_token>

namespace vt {
namespace {

class WAVToMP3Test : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString path(const QString& name) const { return m_dir.filePath(name); }

    // Encodes on this thread, whose event loop runs while the test waits.
    EncodeResult encode(const QString& wav, const QString& mp3, std::stop_token cancel = {}) {
        QFuture<EncodeResult> outcome = WAVToMP3(wav, mp3, std::move(cancel));
        EXPECT_TRUE(test::waitUntil([&] { return outcome.isFinished(); }, 60000));
        return outcome.isFinished() ? outcome.result() : EncodeResult{false, "did not end"};
    }

    QTemporaryDir m_dir;
};

TEST_F(WAVToMP3Test, EncodesWithTheInstalledEncoder) {
    ASSERT_FALSE(findEncoder().isEmpty()) << "the lame package is not installed";
    EXPECT_TRUE(findEncoder().endsWith("/lame"));
    test::writeToneWav(path("tone.wav"), 3.0);
    const EncodeResult result = encode(path("tone.wav"), path("tone.mp3"));
    EXPECT_TRUE(result.failure.isEmpty()) << result.failure.toStdString();
    EXPECT_FALSE(result.cancelled);
    const test::DecodedMp3 decoded = test::decodeMp3(path("tone.mp3"));
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.sampleRate, 22050);
    EXPECT_NEAR(decoded.seconds, 3.0, 0.1);
    EXPECT_TRUE(decoded.warnings.isEmpty()) << decoded.warnings.toStdString();
}

TEST_F(WAVToMP3Test, PathsWithSpacesAndQuotesReachTheEncoderWhole) {
    const QString folder = path("my \"odd\" folder; $(x) & `y`");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString wav = folder + "/part one.wav";
    const QString mp3 = folder + "/part one 'final'.mp3";
    test::writeToneWav(wav, 1.0);
    EXPECT_TRUE(encode(wav, mp3).failure.isEmpty());
    EXPECT_TRUE(test::decodeMp3(mp3).ok);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 2);
}

TEST_F(WAVToMP3Test, MissingEncoderFailsAndWritesNothing) {
    test::writeToneWav(path("tone.wav"), 1.0);
    const test::ScopedPath noLame(path("empty-bin"));
    EXPECT_TRUE(findEncoder().isEmpty());
    const EncodeResult result = encode(path("tone.wav"), path("tone.mp3"));
    EXPECT_TRUE(result.failure.contains("\"lame\" was not found")) << result.failure.toStdString();
    EXPECT_FALSE(QFile::exists(path("tone.mp3")));
}

TEST_F(WAVToMP3Test, AnEncoderThatCannotStartFails) {
    test::writeToneWav(path("tone.wav"), 1.0);
    const QString bin = path("bin");
    ASSERT_TRUE(QDir().mkpath(bin));
    test::writeAll(bin + "/lame", "\x7f"
                                  "ELF not really"); // executable, but no program
    QFile::setPermissions(bin + "/lame", QFile::ReadOwner | QFile::ExeOwner);
    const test::ScopedPath brokenLame(bin);
    const EncodeResult result = encode(path("tone.wav"), path("tone.mp3"));
    EXPECT_FALSE(result.failure.isEmpty());
    EXPECT_FALSE(result.cancelled);
    EXPECT_FALSE(QFile::exists(path("tone.mp3")));
}

TEST_F(WAVToMP3Test, FailingEncoderGivesItsExitCodeAndRemovesItsOutput) {
    test::writeToneWav(path("tone.wav"), 1.0);
    const QString bin = test::makeScriptFolder(
        m_dir.path(), "lame", "printf 'half' > \"$3\"\necho 'lame: disk on fire' >&2\nexit 3\n");
    const test::ScopedPath fakeLame(bin);
    const EncodeResult result = encode(path("tone.wav"), path("tone.mp3"));
    EXPECT_TRUE(result.failure.contains("exit code 3")) << result.failure.toStdString();
    EXPECT_TRUE(result.failure.contains("lame: disk on fire"));
    EXPECT_FALSE(QFile::exists(path("tone.mp3")));
}

TEST_F(WAVToMP3Test, AnEncoderKilledBySignalIsToldApartFromAnExitCode) {
    test::writeToneWav(path("tone.wav"), 1.0);
    const QString bin = test::makeScriptFolder(
        m_dir.path(), "lame",
        "head -c 20000 /dev/zero | tr '\\0' x >&2; echo 'last words' >&2; kill -TERM $$\n");
    const test::ScopedPath fakeLame(bin);
    const EncodeResult result = encode(path("tone.wav"), path("tone.mp3"));
    EXPECT_TRUE(result.failure.contains("exit code 143")) << result.failure.toStdString();
    // Only the end of a long error output is kept, and its last line is told.
    EXPECT_TRUE(result.failure.endsWith("last words"));
    EXPECT_LT(result.failure.size(), 5000);
}

TEST_F(WAVToMP3Test, RealEncoderRefusingItsInputIsAFailure) {
    const EncodeResult result = encode(path("missing.wav"), path("missing.mp3"));
    EXPECT_TRUE(result.failure.contains("failed with exit code")) << result.failure.toStdString();
    EXPECT_TRUE(result.failure.contains("missing.wav"));
    EXPECT_FALSE(QFile::exists(path("missing.mp3")));
}

TEST_F(WAVToMP3Test, EncoderSucceedingWithoutOutputIsAFailure) {
    test::writeToneWav(path("tone.wav"), 1.0);
    const test::ScopedPath fakeLame(test::makeScriptFolder(m_dir.path(), "lame", "exit 0\n"));
    EXPECT_TRUE(encode(path("tone.wav"), path("tone.mp3")).failure.contains("without writing"));
}

TEST_F(WAVToMP3Test, AStopRequestKillsTheEncoderAndRemovesItsOutput) {
    test::writeToneWav(path("tone.wav"), 1.0);
    const test::ScopedPath slowLame(test::makeScriptFolder(
        m_dir.path(), "lame", "printf 'partial' > \"$3\"\nexec /bin/sleep 60\n"));
    std::stop_source cancel;
    QFuture<EncodeResult> outcome =
        WAVToMP3(path("tone.wav"), path("tone.mp3"), cancel.get_token());
    ASSERT_TRUE(test::waitUntil([&] { return QFile::exists(path("tone.mp3")); }));
    EXPECT_FALSE(outcome.isFinished());
    cancel.request_stop();
    ASSERT_TRUE(test::waitUntil([&] { return outcome.isFinished(); }, 10000));
    EXPECT_TRUE(outcome.result().cancelled);
    EXPECT_TRUE(outcome.result().failure.isEmpty());
    EXPECT_FALSE(QFile::exists(path("tone.mp3")));
    EXPECT_EQ(test::runningChildren("sleep"), 0);
}

// Encoders that exit 0 yet give no usable MP3: their output is checked before
// anything is joined.
TEST_F(WAVToMP3Test, OutputThatIsNotAnMp3StreamOfTheRightLengthIsAFailure) {
    test::writeToneWav(path("tone.wav"), 2.0);
    {
        const test::ScopedPath garbage(test::makeScriptFolder(
            m_dir.path(), "lame", "/usr/bin/head -c 20000 /dev/urandom > \"$3\"\nexit 0\n"));
        const EncodeResult result = encode(path("tone.wav"), path("tone.mp3"));
        EXPECT_TRUE(result.failure.contains("is not valid MP3")) << result.failure.toStdString();
        EXPECT_FALSE(QFile::exists(path("tone.mp3")));
    }
    {
        // Real frames, but of another, shorter recording.
        test::writeToneWav(path("short.wav"), 1.0);
        const test::ScopedPath shorter(test::makeScriptFolder(
            m_dir.path(), "lame",
            "exec /usr/bin/lame --quiet -h \"" + path("short.wav").toUtf8() + "\" \"$3\"\n"));
        const EncodeResult result = encode(path("tone.wav"), path("tone.mp3"));
        EXPECT_TRUE(result.failure.contains("is not valid MP3")) << result.failure.toStdString();
        EXPECT_TRUE(result.failure.contains("lasts")) << result.failure.toStdString();
    }
    // The real encoder's output, as long as the speech, passes (see above too).
    for (const double seconds : {0.3, 1.0, 7.7}) {
        test::writeToneWav(path("tone.wav"), seconds);
        const EncodeResult result = encode(path("tone.wav"), path("tone.mp3"));
        EXPECT_TRUE(result.failure.isEmpty()) << seconds << ": " << result.failure.toStdString();
    }
}

TEST_F(WAVToMP3Test, AnEncoderMakingNoProgressIsStoppedAndReported) {
    test::writeToneWav(path("tone.wav"), 1.0);
    const test::ScopedPath hanging(test::makeScriptFolder(
        m_dir.path(), "lame", "printf 'partial' > \"$3\"\nexec /bin/sleep 600\n"));
    QFuture<EncodeResult> outcome =
        WAVToMP3(path("tone.wav"), path("tone.mp3"), {}, std::chrono::milliseconds(500));
    ASSERT_TRUE(test::waitUntil([&] { return outcome.isFinished(); }, 20000));
    EXPECT_FALSE(outcome.result().cancelled);
    EXPECT_TRUE(outcome.result().failure.contains("made no progress for 0.5 seconds"))
        << outcome.result().failure.toStdString();
    EXPECT_FALSE(QFile::exists(path("tone.mp3")));
    EXPECT_EQ(test::runningChildren("sleep"), 0);
}

} // namespace
} // namespace vt
