#include "core/files/JobFolderLock.h"
#include "core/files/TempFolders.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vt {
namespace {

// What a killed job leaves: its folder in T with the lock file nobody holds.
QString leftFolder(const QString& name) {
    const QString folder = QDir(temporaryRoot()).filePath(name);
    EXPECT_TRUE(QDir().mkpath(folder));
    test::writeAll(QDir(folder).filePath("output001.wav"), QByteArray(1000, 'w'));
    test::writeAll(QDir(folder).filePath(JobLockFileName), "");
    return folder;
}

class JobFolderTest : public ::testing::Test {
  protected:
    // T belongs to this test program alone; what a test put there goes.
    void TearDown() override {
        for (const QString& name : QDir(temporaryRoot())
                                       .entryList(QDir::AllEntries | QDir::NoDotAndDotDot |
                                                  QDir::Hidden | QDir::System)) {
            const QString path = QDir(temporaryRoot()).filePath(name);
            if (QFileInfo(path).isSymLink() || !QFileInfo(path).isDir()) {
                QFile::remove(path);
            } else {
                QDir(path).removeRecursively();
            }
        }
    }
};

TEST_F(JobFolderTest, AWorkingFolderCarriesAHeldLock) {
    const PrivateFolder folder;
    ASSERT_TRUE(folder.isValid());
    EXPECT_TRUE(QFileInfo::exists(folder.filePath(JobLockFileName)));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{JobLockFileName});
    // Another open of the lock file, as a later start makes, finds it held.
    EXPECT_FALSE(removeIfAbandoned(folder.path()));
    EXPECT_EQ(RemoveAbandonedJobFolders(), 0);
    EXPECT_TRUE(QFileInfo::exists(folder.filePath(JobLockFileName)));
}

TEST_F(JobFolderTest, OnlyFoldersOfGoneJobsAreRemoved) {
    const PrivateFolder working;
    const QString abandoned = leftFolder("vellumtone-AbC123");
    const QString abandonedToo = leftFolder("vellumtone-zz9999");
    // Not the program's, or not provably abandoned: all of these stay.
    const QString otherProgram = QDir(temporaryRoot()).filePath("othertool-AbC123");
    ASSERT_TRUE(QDir().mkpath(otherProgram));
    test::writeAll(QDir(otherProgram).filePath(JobLockFileName), "");
    const QString longerName = leftFolder("vellumtone-test-AbC123");
    const QString unmarked = QDir(temporaryRoot()).filePath("vellumtone-nolock");
    ASSERT_TRUE(QDir().mkpath(unmarked));
    test::writeAll(QDir(unmarked).filePath("output.txt"), "x");
    const QString plainFile = QDir(temporaryRoot()).filePath("vellumtone-afile1");
    test::writeAll(plainFile, "x");
    // A link in T that looks like a job folder: neither it nor its target is touched.
    QTemporaryDir outside;
    test::writeAll(QDir(outside.path()).filePath(JobLockFileName), "");
    test::writeAll(QDir(outside.path()).filePath("precious"), "x");
    const QString link = QDir(temporaryRoot()).filePath("vellumtone-linked");
    ASSERT_TRUE(QFile::link(outside.path(), link));

    EXPECT_EQ(RemoveAbandonedJobFolders(), 2);

    EXPECT_FALSE(QFileInfo::exists(abandoned));
    EXPECT_FALSE(QFileInfo::exists(abandonedToo));
    EXPECT_TRUE(QFileInfo::exists(working.filePath(JobLockFileName)));
    EXPECT_TRUE(QFileInfo::exists(QDir(otherProgram).filePath(JobLockFileName)));
    EXPECT_TRUE(QFileInfo::exists(QDir(longerName).filePath(JobLockFileName)));
    EXPECT_TRUE(QFileInfo::exists(QDir(unmarked).filePath("output.txt")));
    EXPECT_TRUE(QFileInfo::exists(plainFile));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(QFileInfo::exists(QDir(outside.path()).filePath("precious")));
}

TEST_F(JobFolderTest, TheLockGoesWithTheProcessThatHeldIt) {
    // A child process takes a folder's lock the way a job does and is killed
    // while holding it: the next sweep removes the folder, not before.
    const QString folder = QDir(temporaryRoot()).filePath("vellumtone-killed");
    ASSERT_TRUE(QDir().mkpath(folder));
    test::writeAll(QDir(folder).filePath(JobLockFileName), "");
    QProcess holder;
    holder.start("flock",
                 {"--exclusive", "--close", QDir(folder).filePath(JobLockFileName), "sleep", "60"});
    ASSERT_TRUE(holder.waitForStarted());
    ASSERT_TRUE(test::waitUntil([&] {
        return QProcess::execute(
                   "flock", {"--nonblock", QDir(folder).filePath(JobLockFileName), "true"}) != 0;
    }));
    EXPECT_EQ(RemoveAbandonedJobFolders(), 0);
    EXPECT_TRUE(QFileInfo::exists(folder));

    holder.kill(); // SIGKILL: no chance to clean up
    ASSERT_TRUE(holder.waitForFinished());
    // The killed holder's child may still be closing its copy of the handle.
    ASSERT_TRUE(test::waitUntil([&] {
        return QProcess::execute(
                   "flock", {"--nonblock", QDir(folder).filePath(JobLockFileName), "true"}) == 0;
    }));
    EXPECT_EQ(RemoveAbandonedJobFolders(), 1);
    EXPECT_FALSE(QFileInfo::exists(folder));
}

} // namespace
} // namespace vt
