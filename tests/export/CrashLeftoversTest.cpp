// The real program, killed in the middle of an export: what it leaves in T
// goes at the next start (command or window), while an export another run of
// the program is making at the same time keeps its folder and finishes.
#include "core/files/JobFolderLock.h"
#include "core/files/TempFolders.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <algorithm>
#include <csignal>
#include <gtest/gtest.h>

namespace vt {
namespace {

QSet<QString> jobFolders() {
    const QStringList names =
        QDir(temporaryRoot())
            .entryList({QStringLiteral("vellumtone-*")}, QDir::Dirs | QDir::NoDotAndDotDot);
    return QSet<QString>(names.cbegin(), names.cend());
}

QByteArray longText() {
    QByteArray text;
    for (int line = 0; line < 300; ++line) {
        text += "Line " + QByteArray::number(line) +
                " tells of rivers, gardens and lanterns in the quiet morning.\n";
    }
    return text;
}

class CrashLeftoversTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_out.isValid());
        m_server.page("/long.txt", longText(), "text/plain");
        m_server.page("/short.txt", "short\n", "text/plain");
        test::HttpRoute silent;
        silent.behaviour = test::HttpRoute::Behaviour::NeverAnswer;
        m_server.route("/silent.txt", silent);
    }

    // Starts an export and waits until its folder holds the file named ready
    // (by default a rendered part); returns the folder's path, "" when none came.
    QString startExport(QProcess& process, const QString& folderName,
                        const QString& page = "/long.txt",
                        const QStringList& ready = {"output001.wav", "output001.mp3"}) {
        const QSet<QString> before = jobFolders();
        const QString folder = m_out.filePath(folderName);
        QDir().mkpath(folder);
        process.start(VELLUMTONE_PATH, {"--save-mp3", m_server.url(page), "--folder", folder});
        if (!process.waitForStarted()) {
            return QString();
        }
        QString job;
        test::waitUntil(
            [&] {
                const QSet<QString> added = jobFolders() - before;
                if (added.size() != 1) {
                    return false;
                }
                job = QDir(temporaryRoot()).filePath(*added.cbegin());
                return std::any_of(ready.cbegin(), ready.cend(), [&](const QString& name) {
                    return QFileInfo::exists(QDir(job).filePath(name));
                });
            },
            120000);
        return QFileInfo::exists(QDir(job).filePath(JobLockFileName)) ? job : QString();
    }

    // SIGKILL: the program gets no chance to clean up. Encoders it started
    // finish their part on their own; they are waited for, so that what is
    // checked is the removal, not a race with them.
    static void killHard(QProcess& process, const QString& jobFolder) {
        process.kill();
        process.waitForFinished();
        EXPECT_TRUE(test::waitUntil([&] { return !anyProcessNames(jobFolder); }, 60000));
    }

    static bool anyProcessNames(const QString& path) {
        const QByteArray wanted = QFile::encodeName(path);
        for (const QString& pid : QDir("/proc").entryList(QDir::Dirs)) {
            QFile commandLine("/proc/" + pid + "/cmdline");
            if (commandLine.open(QIODevice::ReadOnly) && commandLine.readAll().contains(wanted)) {
                return true;
            }
        }
        return false;
    }

    // A start of the program that does little: printing a short page's text.
    int startCommand() {
        return QProcess::execute(VELLUMTONE_PATH, {"--text", m_server.url("/short.txt")});
    }

    test::LocalHttpServer m_server;
    QTemporaryDir m_out;
};

TEST_F(CrashLeftoversTest, AKilledExportsFolderGoesAtTheNextStartAWorkingOneStays) {
    QProcess killed;
    const QString left = startExport(killed, "killed");
    ASSERT_FALSE(left.isEmpty()) << "the export made no part";
    killHard(killed, left);
    ASSERT_TRUE(QFileInfo::exists(left)); // nothing removes it by itself

    // Another run of the program is exporting meanwhile (waiting for a page
    // that does not come, so it is surely still at work).
    QProcess working;
    const QString own = startExport(working, "working", "/silent.txt", {JobLockFileName});
    ASSERT_FALSE(own.isEmpty()) << "the second export made no folder";

    EXPECT_EQ(startCommand(), 0);
    EXPECT_FALSE(QFileInfo::exists(left));
    EXPECT_TRUE(QFileInfo::exists(QDir(own).filePath(JobLockFileName)));
    EXPECT_EQ(working.state(), QProcess::Running);

    // That export ends the usual way (the page's time limit) and cleans up itself.
    ASSERT_TRUE(working.waitForFinished(120000));
    EXPECT_EQ(working.exitCode(), 1);
    EXPECT_TRUE(working.readAllStandardError().contains("the page could not be fetched"));
    EXPECT_TRUE(QDir(m_out.filePath("killed")).isEmpty()); // no partial MP3 either
    EXPECT_TRUE(jobFolders().isEmpty());
}

TEST_F(CrashLeftoversTest, TheWindowRemovesLeftoversWhenItStarts) {
    QProcess killed;
    const QString left = startExport(killed, "killed");
    ASSERT_FALSE(left.isEmpty()) << "the export made no part";
    killHard(killed, left);

    QProcess window; // offscreen, like every test here
    window.start(VELLUMTONE_PATH, {});
    ASSERT_TRUE(window.waitForStarted());
    EXPECT_TRUE(test::waitUntil([&] { return !QFileInfo::exists(left); }, 60000));
    // A folder whose lock does not exist yet cannot be told from one being set
    // up, so it is kept; kill the window once its own folder is locked.
    EXPECT_TRUE(test::waitUntil(
        [&] {
            const QSet<QString> folders = jobFolders();
            return std::all_of(folders.cbegin(), folders.cend(), [](const QString& name) {
                return QFileInfo::exists(
                    QDir(temporaryRoot()).filePath(name + "/" + JobLockFileName));
            });
        },
        60000));
    window.kill();
    window.waitForFinished();

    // The window's own folder, left by that kill, goes at the start after.
    EXPECT_EQ(startCommand(), 0);
    EXPECT_TRUE(jobFolders().isEmpty());
}

TEST_F(CrashLeftoversTest, CtrlCCancelsTheExportWithOneLineAndLeavesNothing) {
    QProcess process;
    const QString job = startExport(process, "interrupted");
    ASSERT_FALSE(job.isEmpty());
    // What a terminal sends on Ctrl+C.
    ASSERT_EQ(::kill(static_cast<pid_t>(process.processId()), SIGINT), 0);
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_EQ(QString::fromUtf8(process.readAllStandardError()),
              "vellumtone: the export was cancelled; no MP3 was made.\n");
    EXPECT_EQ(process.readAllStandardOutput(), QByteArray());
    EXPECT_EQ(
        QDir(m_out.filePath("interrupted")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
        QStringList());
    EXPECT_FALSE(QFileInfo::exists(job));
}

} // namespace
} // namespace vt
