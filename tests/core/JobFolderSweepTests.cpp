// The start-up sweep against folders it must not touch: look-alike names, a
// link swapped in while it works, mounts and read-only folders inside.
#include "core/files/JobFolderLock.h"
#include "core/files/TempFolders.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <atomic>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <stdio.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace vt {
namespace {

QString inTemp(const QString& name) {
    return QDir(temporaryRoot()).filePath(name);
}

// A folder the way a killed job leaves it.
void makeAbandoned(const QString& folder) {
    ASSERT_TRUE(QDir().mkpath(folder));
    test::writeAll(QDir(folder).filePath("output001.wav"), QByteArray(100, 'w'));
    test::writeAll(QDir(folder).filePath(JobLockFileName), "");
}

mode_t modeOf(const QString& path) {
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777 : 0;
}

// Runs work on a thread of its own without the powers that let root ignore
// file permissions (capabilities are per thread), so a run as root meets
// read-only folders the way a user does.
void runAsPlainUser(const std::function<void()>& work) {
    std::thread worker([&] {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2]{};
        if (::syscall(SYS_capget, &header, data) == 0) {
            for (const int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER}) {
                data[cap / 32].effective &= ~(1u << (cap % 32));
            }
            ::syscall(SYS_capset, &header, data);
        }
        work();
    });
    worker.join();
}

class JobFolderSweepTest : public ::testing::Test {
  protected:
    void TearDown() override {
        const QDir root(temporaryRoot());
        for (const QString& name : root.entryList(QDir::AllEntries | QDir::NoDotAndDotDot |
                                                  QDir::Hidden | QDir::System)) {
            const QString path = root.filePath(name);
            if (QFileInfo(path).isSymLink() || !QFileInfo(path).isDir()) {
                QFile::remove(path);
            } else {
                QProcess::execute("chmod", {"-R", "u+rwx", path});
                QDir(path).removeRecursively();
            }
        }
    }
};

const QStringList LookAlikes{"VELLUMTONE-Backup", "Vellumtone-AbC123", "vellumtone-ab.c12",
                             "vellumtone-ab c12", "vellumtone-AbC12",  "vellumtone-AbC1234"};

TEST_F(JobFolderSweepTest, OnlyTheExactNameOfAJobFolderIsSwept) {
    makeAbandoned(inTemp("vellumtone-Ab9xYz"));
    // Names a person may give: other case, other characters, other length.
    for (const QString& name : LookAlikes) {
        makeAbandoned(inTemp(name));
    }

    EXPECT_EQ(RemoveAbandonedJobFolders(), 1);

    EXPECT_FALSE(QFileInfo::exists(inTemp("vellumtone-Ab9xYz")));
    for (const QString& name : LookAlikes) {
        EXPECT_TRUE(QFileInfo::exists(QDir(inTemp(name)).filePath("output001.wav")))
            << name.toStdString();
    }
}

TEST_F(JobFolderSweepTest, ALinkSwappedInWhileSweepingLeavesItsTargetAlone) {
    // Another user's trick in a shared TEMP: exchanging an abandoned folder
    // with a link to someone's folder, over and over, while the sweep runs.
    QTemporaryDir victim;
    test::writeAll(QDir(victim.path()).filePath(JobLockFileName), "");
    test::writeAll(QDir(victim.path()).filePath("precious"), "keep");
    const QByteArray root = QFile::encodeName(temporaryRoot());
    const int rootHandle = ::open(root.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(rootHandle, 0);

    for (int round = 0; round < 300; ++round) {
        const QString name = QStringLiteral("vellumtone-R%1").arg(round, 5, 10, QLatin1Char('0'));
        makeAbandoned(inTemp(name));
        ASSERT_TRUE(QFile::link(victim.path(), inTemp("swap")));
        std::atomic<bool> done = false;
        std::thread swapper([&] {
            const QByteArray folder = name.toLatin1();
            while (!done) {
                ::renameat2(rootHandle, folder.constData(), rootHandle, "swap", RENAME_EXCHANGE);
            }
        });
        RemoveAbandonedJobFolders();
        done = true;
        swapper.join();
        ASSERT_EQ(test::readAll(QDir(victim.path()).filePath("precious")), "keep")
            << "round " << round;
        ASSERT_TRUE(QFileInfo::exists(QDir(victim.path()).filePath(JobLockFileName)));
        TearDown();
    }
    ::close(rootHandle);
}

TEST_F(JobFolderSweepTest, AReadOnlyFolderInsideKeepsTheModeOfWhatItLinksTo) {
    QTemporaryDir outside;
    const QString target = QDir(outside.path()).filePath("target");
    test::writeAll(target, "keep");
    ASSERT_TRUE(QFile::setPermissions(target, QFile::ReadOwner));
    const QString folder = inTemp("vellumtone-RdOnly");
    makeAbandoned(folder);
    const QString readOnly = QDir(folder).filePath("sub");
    ASSERT_TRUE(QDir().mkpath(readOnly));
    ASSERT_TRUE(QFile::link(target, QDir(readOnly).filePath("link")));
    ASSERT_EQ(::chmod(QFile::encodeName(readOnly).constData(), 0500), 0);

    runAsPlainUser([] { RemoveAbandonedJobFolders(); });

    EXPECT_EQ(modeOf(target), mode_t(0400));
    EXPECT_EQ(test::readAll(target), "keep");
    EXPECT_EQ(modeOf(readOnly), mode_t(0500));
}

TEST_F(JobFolderSweepTest, AFileSystemMountedInsideIsLeftAlone) {
    const QString folder = inTemp("vellumtone-Mount1");
    makeAbandoned(folder);
    const QString mountPoint = QDir(folder).filePath("mnt");
    ASSERT_TRUE(QDir().mkpath(mountPoint));
    const QByteArray point = QFile::encodeName(mountPoint);
    if (::mount("tmpfs", point.constData(), "tmpfs", 0, "size=1m") != 0) {
        GTEST_SKIP() << "no tmpfs can be mounted here (needs root)";
    }
    test::writeAll(QDir(mountPoint).filePath("other"), "keep");

    RemoveAbandonedJobFolders();

    EXPECT_EQ(test::readAll(QDir(mountPoint).filePath("other")), "keep");
    ::umount2(point.constData(), MNT_DETACH);
}

TEST_F(JobFolderSweepTest, ATempOthersMayWriteIsRefused) {
    // World-writable and not sticky: anyone may rename what is in it.
    const QString shared = QDir(temporaryRoot()).filePath("shared");
    ASSERT_TRUE(QDir().mkpath(shared));
    ASSERT_EQ(::chmod(QFile::encodeName(shared).constData(), 0777), 0);
    const QByteArray saved = qgetenv("TEMP");
    qputenv("TEMP", QFile::encodeName(shared));
    makeAbandoned(QDir(shared).filePath("vellumtone-Shared"));

    EXPECT_EQ(RemoveAbandonedJobFolders(), 0);
    EXPECT_TRUE(QFileInfo::exists(QDir(shared).filePath("vellumtone-Shared/output001.wav")));
    {
        const PrivateFolder folder;
        EXPECT_FALSE(folder.isValid());
        EXPECT_TRUE(folder.errorString().contains(QDir::toNativeSeparators(shared)))
            << folder.errorString().toStdString();
        EXPECT_TRUE(folder.errorString().contains("other users"))
            << folder.errorString().toStdString();
    }
    // Sticky, as /tmp is: a private folder is made there and the sweep runs.
    ASSERT_EQ(::chmod(QFile::encodeName(shared).constData(), 01777), 0);
    {
        const PrivateFolder folder;
        EXPECT_TRUE(folder.isValid());
    }
    EXPECT_EQ(RemoveAbandonedJobFolders(), 1);
    qputenv("TEMP", saved);
}

TEST_F(JobFolderSweepTest, AJobFolderGoesAtTheEndWithoutFollowingLinks) {
    QTemporaryDir outside;
    test::writeAll(QDir(outside.path()).filePath("precious"), "keep");
    QString path;
    {
        const PrivateFolder folder;
        ASSERT_TRUE(folder.isValid());
        path = folder.path();
        ASSERT_TRUE(QFile::link(outside.path(), folder.filePath("link")));
        ASSERT_TRUE(QDir().mkpath(folder.filePath("sub/deeper")));
        test::writeAll(folder.filePath("sub/deeper/output001.wav"), "w");
    }
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(test::readAll(QDir(outside.path()).filePath("precious")), "keep");
}

} // namespace
} // namespace vt
