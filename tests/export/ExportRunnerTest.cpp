#include "export/ExportRunner.h"

#include "ExportFixture.h"
#include "core/files/TempFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

namespace vt {
namespace {

using test::RecordingDialogs;

// Notes the thread each dialog call arrives on.
class ThreadNotingDialogs final : public Dialogs {
  public:
    explicit ThreadNotingDialogs(Dialogs& target) : m_target(target) {}
    bool message(MessageKind kind, const QString& text) override {
        note();
        return m_target.message(kind, text);
    }
    QString chooseFile(FileDialogKind kind, const FileDialogRequest& r) override {
        note();
        return m_target.chooseFile(kind, r);
    }
    QString browseForFolder(const QString& p, const QString& s) override {
        note();
        return m_target.browseForFolder(p, s);
    }
    bool openUrl(const QString& url) override { return note(), m_target.openUrl(url); }

    bool allOnThisThread() const { return m_allOnWindowThread; }

  private:
    void note() {
        if (QThread::currentThread() != QCoreApplication::instance()->thread()) {
            m_allOnWindowThread = false;
        }
    }
    Dialogs& m_target;
    std::atomic_bool m_allOnWindowThread{true};
};

// True once some job folder holds a part being encoded.
bool partEncoding() {
    for (const QString& folder : test::leftoverJobFolders()) {
        const QDir dir(QDir(temporaryRoot()).filePath(folder));
        if (!dir.entryList({"output*.mp3"}, QDir::Files).isEmpty()) {
            return true;
        }
    }
    return false;
}

class ExportRunnerTest : public test::ExportFixture {};

TEST_F(ExportRunnerTest, RunsOffTheWindowThreadAndFinishesOnceOnIt) {
    m_server.page("/p.txt", test::sentences(5, 5), "text/plain");
    ThreadNotingDialogs windowDialogs(m_dialogs);
    ExportRunner runner;
    QSignalSpy finished(&runner, &ExportRunner::finished);
    QThread* finishedOn = nullptr;
    QObject::connect(&runner, &ExportRunner::finished,
                     [&] { finishedOn = QThread::currentThread(); });

    runner.start({m_server.url("/p.txt"), outFolder(), {}}, m_speech.voices, windowDialogs);
    EXPECT_TRUE(runner.isRunning());
    // A second start while running is ignored.
    runner.start({m_server.url("/other.txt"), outFolder(), {}}, m_speech.voices, windowDialogs);

    ASSERT_TRUE(test::waitUntil([&] { return finished.count() > 0; }, 120000));
    QTest::qWait(200);
    ASSERT_EQ(finished.count(), 1);
    EXPECT_FALSE(runner.isRunning());
    EXPECT_EQ(finishedOn, QThread::currentThread());
    const auto result = finished.at(0).at(0).value<ExportResult>();
    EXPECT_TRUE(result.mp3Made);
    EXPECT_TRUE(QFileInfo::exists(result.mp3Path));
    EXPECT_EQ(shownTexts(), QStringList{"Done."});
    EXPECT_TRUE(windowDialogs.allOnThisThread());
    EXPECT_EQ(m_server.hits("/other.txt"), 0);
}

TEST_F(ExportRunnerTest, MessagesReachTheWindowThread) {
    ThreadNotingDialogs windowDialogs(m_dialogs);
    ExportRunner runner;
    QSignalSpy finished(&runner, &ExportRunner::finished);
    runner.start({"", outFolder(), {}}, m_speech.voices, windowDialogs);
    ASSERT_TRUE(test::waitUntil([&] { return finished.count() > 0; }));
    EXPECT_EQ(shownTexts(), QStringList{"Website is blank"});
    EXPECT_TRUE(windowDialogs.allOnThisThread());
    EXPECT_EQ(finished.at(0).at(0).value<ExportResult>().failure, ExportFailure::AddressBlank);
}

TEST_F(ExportRunnerTest, CancelStopsEverythingAndLeavesNoMp3) {
    m_server.page("/long.txt", test::sentences(300, 6), "text/plain");
    ExportRunner runner;
    QSignalSpy finished(&runner, &ExportRunner::finished);
    runner.start({m_server.url("/long.txt"), outFolder(), {-1, 50, -10}}, m_speech.voices,
                 m_dialogs);
    ASSERT_TRUE(test::waitUntil(partEncoding, 120000));

    runner.cancel();
    ASSERT_TRUE(test::waitUntil([&] { return finished.count() > 0; }, 60000));
    const auto result = finished.at(0).at(0).value<ExportResult>();
    EXPECT_EQ(result.failure, ExportFailure::Cancelled);
    EXPECT_FALSE(result.mp3Made);
    EXPECT_TRUE(result.message.isEmpty());
    EXPECT_TRUE(m_dialogs.entries().isEmpty()); // no "Done.", nothing else
    EXPECT_TRUE(QDir(m_out.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(ExportRunnerTest, DestroyingTheRunnerCancelsItsJob) {
    m_server.page("/long.txt", test::sentences(300, 6), "text/plain");
    {
        ExportRunner runner;
        runner.start({m_server.url("/long.txt"), outFolder(), {-1, 50, -10}}, m_speech.voices,
                     m_dialogs);
        ASSERT_TRUE(test::waitUntil(partEncoding, 120000));
    }
    // The job winds down on its own thread.
    ASSERT_TRUE(test::waitUntil([] { return test::leftoverJobFolders().isEmpty(); }, 60000));
    ASSERT_TRUE(test::waitUntil([] { return test::runningChildren("lame") == 0; }, 60000));
    EXPECT_TRUE(m_dialogs.entries().isEmpty());
    EXPECT_TRUE(QDir(m_out.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

} // namespace
} // namespace vt
