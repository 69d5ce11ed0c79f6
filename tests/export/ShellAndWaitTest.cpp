#include "export/ShellAndWait.h"

#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <future>
#include <gtest/gtest.h>

namespace vt {
namespace {

TEST(ShellAndWait, ReturnsTheChildsExitCode) {
    EXPECT_EQ(ShellAndWait("/bin/sh", {"-c", "exit 0"}), 0);
    EXPECT_EQ(ShellAndWait("/bin/sh", {"-c", "exit 7"}, 0), 7);
    EXPECT_EQ(ShellAndWait("sh", {"-c", "exit 255"}, 0), 255);
    // Ended by a signal: 128 + the signal, as a shell shows it.
    EXPECT_EQ(ShellAndWait("/bin/sh", {"-c", "kill -TERM $$"}, 0), 128 + 15);
}

TEST(ShellAndWait, StartFailureGivesItsErrorNumberPlusTheBase) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString plainFile = dir.filePath("not-a-program");
    test::writeAll(plainFile, "just text\n");

    EXPECT_EQ(StartFailureBase, -2147221504);
    EXPECT_EQ(ShellAndWait(dir.filePath("missing-program"), {}), StartFailureBase + 53);
    EXPECT_EQ(ShellAndWait("vellumtone-no-such-program", {"x"}), StartFailureBase + 53);
    EXPECT_EQ(ShellAndWait(plainFile, {}), StartFailureBase + 70);
    EXPECT_EQ(ShellAndWait(dir.path(), {}), StartFailureBase + 70);
    EXPECT_EQ(ShellAndWait(QString(), {}), StartFailureBase + 5);
    EXPECT_LT(ShellAndWait(plainFile, {}, 0), 0);
}

TEST(ShellAndWait, WindowStyleOutsideZeroToSixBecomesSix) {
    EXPECT_EQ(clampWindowStyle(-1), 6);
    EXPECT_EQ(clampWindowStyle(7), 6);
    EXPECT_EQ(clampWindowStyle(-2147483647 - 1), 6);
    EXPECT_EQ(clampWindowStyle(0), 0);
    EXPECT_EQ(clampWindowStyle(3), 3);
    EXPECT_EQ(clampWindowStyle(6), 6);
    // Any style still starts the program.
    EXPECT_EQ(ShellAndWait("/bin/sh", {"-c", "exit 3"}, 7), 3);
    EXPECT_EQ(ShellAndWait("/bin/sh", {"-c", "exit 3"}, -1), 3);
}

TEST(ShellAndWait, ArgumentsReachTheProgramIntactAndNoShellRunsThem) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString listing = dir.filePath("arguments.txt");
    const QString marker = dir.filePath("ran");
    const QStringList tricky = {"two words",
                                "  spaced  ",
                                "\"quoted\"",
                                "semi;colon & amp",
                                "$(touch " + marker + ")",
                                "`touch " + marker + "`",
                                "",
                                "caf\u00e9"};
    QStringList arguments = {"-c", "printf '%s\\n' \"$@\" > \"$0\"", listing};
    arguments += tricky;
    ASSERT_EQ(ShellAndWait("/bin/sh", arguments, 0), 0);
    EXPECT_EQ(QString::fromUtf8(test::readAll(listing)), tricky.join('\n') + '\n');
    EXPECT_FALSE(QFile::exists(marker));
}

TEST(ShellAndWait, CancelKillsTheChild) {
    std::atomic_bool cancel{false};
    auto result =
        std::async(std::launch::async, [&] { return ShellAndWait("sleep", {"60"}, 0, &cancel); });
    // Let it start; the cancel must work whether or not it has.
    ASSERT_EQ(result.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout);
    cancel = true;
    EXPECT_EQ(result.get(), 128 + 9); // SIGKILL
}

TEST(ShellAndWait, RunProcessKeepsTheEndOfTheErrorOutput) {
    const ProcessOutcome outcome =
        runProcess("/bin/sh", {"-c", "head -c 20000 /dev/zero | tr '\\0' x >&2; "
                                     "echo the-last-words >&2; exit 4"});
    EXPECT_TRUE(outcome.started);
    EXPECT_FALSE(outcome.cancelled);
    EXPECT_EQ(outcome.exitCode, 4);
    EXPECT_LE(outcome.errorOutput.size(), 4096);
    EXPECT_TRUE(outcome.errorOutput.endsWith("the-last-words\n"));
}

} // namespace
} // namespace vt
