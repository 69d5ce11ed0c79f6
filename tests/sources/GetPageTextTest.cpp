#include "sources/reader/GetPageText.h"

#include "QtPrinting.h"
#include "core/Failure.h"
#include "core/files/TempFolders.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QObject>
#include <QThread>
#include <atomic>
#include <future>
#include <gtest/gtest.h>
#include <thread>

using vt::test::HttpRoute;
using vt::test::LocalHttpServer;
using vt::test::readAll;

namespace {

// GetPageText blocks, so the tests call it on a thread of their own.
struct Outcome {
    QString text;
    QString failure; // empty when it returned
};

Outcome runOnWorker(const QString& address, const QString& folder, std::stop_token cancel = {}) {
    auto future = std::async(std::launch::async, [&] {
        Outcome outcome;
        try {
            outcome.text = vt::GetPageText(address, folder, cancel);
        } catch (const vt::Failure& failure) {
            outcome.failure = failure.description();
        }
        return outcome;
    });
    return future.get();
}

class GetPageTextTest : public ::testing::Test {
  protected:
    LocalHttpServer server;
    vt::PrivateFolder folder;
    QString file() const { return folder.filePath("output.txt"); }
};

TEST_F(GetPageTextTest, WritesThePageTextFileAndReturnsTheSameText) {
    server.page("/p", "<p>Caf\xC3\xA9 one</p><p>two</p>");
    const Outcome outcome = runOnWorker(server.url("/p"), folder.path());
    ASSERT_TRUE(outcome.failure.isEmpty()) << outcome.failure.toStdString();
    EXPECT_EQ(outcome.text, QString::fromUtf8("Café one\n\ntwo"));
    EXPECT_EQ(vt::pageTextFilePath(folder.path()), file());
    // The job's own file is UTF-8 even when every character would fit windows-1252,
    // because the splitter reads it back as UTF-8.
    EXPECT_EQ(readAll(file()), QByteArray("Caf\xC3\xA9 one\n\ntwo"));
}

TEST_F(GetPageTextTest, ASecondFetchReplacesTheFile) {
    server.page("/long", "<p>" + QByteArray("long text ").repeated(100) + "</p>");
    server.page("/short", "<p>short</p>");
    ASSERT_TRUE(runOnWorker(server.url("/long"), folder.path()).failure.isEmpty());
    ASSERT_TRUE(runOnWorker(server.url("/short"), folder.path()).failure.isEmpty());
    EXPECT_EQ(readAll(file()), "short");
}

TEST_F(GetPageTextTest, AnEmptyPageGivesAnEmptyFile) {
    server.page("/empty", "<html><head><title>Only a title</title></head><body> </body></html>");
    const Outcome outcome = runOnWorker(server.url("/empty"), folder.path());
    ASSERT_TRUE(outcome.failure.isEmpty()) << outcome.failure.toStdString();
    EXPECT_EQ(outcome.text, "");
    ASSERT_TRUE(QFile::exists(file()));
    EXPECT_EQ(QFile(file()).size(), 0);
}

TEST_F(GetPageTextTest, AFailureThrowsAndLeavesTheEarlierFileUntouched) {
    vt::test::writeAll(file(), "earlier text");
    const Outcome outcome = runOnWorker(server.url("/missing"), folder.path());
    EXPECT_TRUE(outcome.failure.contains("404")) << outcome.failure.toStdString();
    EXPECT_EQ(readAll(file()), "earlier text");
}

TEST_F(GetPageTextTest, AnUnwritableFolderFailsWithTheFileError) {
    server.page("/p", "<p>text</p>");
    const Outcome outcome = runOnWorker(server.url("/p"), folder.filePath("no/such/folder"));
    EXPECT_FALSE(outcome.failure.isEmpty());
    EXPECT_TRUE(outcome.failure.contains("output.txt")) << outcome.failure.toStdString();
}

TEST_F(GetPageTextTest, CancelStopsAWaitingFetchPromptly) {
    HttpRoute silent;
    silent.behaviour = HttpRoute::Behaviour::NeverAnswer;
    server.route("/silent", silent);
    vt::test::writeAll(file(), "earlier text");
    std::stop_source cancel;
    std::thread canceller([&] {
        while (server.hits("/silent") == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        cancel.request_stop();
    });
    const Outcome outcome = runOnWorker(server.url("/silent"), folder.path(), cancel.get_token());
    canceller.join();
    EXPECT_TRUE(outcome.failure.contains("cancelled")) << outcome.failure.toStdString();
    EXPECT_EQ(readAll(file()), "earlier text");
}

TEST_F(GetPageTextTest, RefusesToBlockTheWindowThread) {
    server.page("/p", "<p>text</p>");
    EXPECT_THROW(vt::GetPageText(server.url("/p"), folder.path()), vt::Failure);
    EXPECT_EQ(server.hits("/p"), 0);
}

TEST_F(GetPageTextTest, TheAsyncHelperWritesTheFileAndReportsOnTheContextThread) {
    server.page("/p", "<h1>Async</h1>");
    QObject context;
    std::optional<vt::PageRead> result;
    Qt::HANDLE reportedOn = nullptr;
    vt::fetchPageTextAsync(server.url("/p"), folder.path(), &context,
                           [&](const vt::PageRead& r) {
                               result = r;
                               reportedOn = QThread::currentThreadId();
                           });
    ASSERT_TRUE(vt::test::waitUntil([&] { return result.has_value(); }));
    ASSERT_TRUE(result->ok) << result->description.toStdString();
    EXPECT_EQ(result->text, "Async");
    EXPECT_EQ(reportedOn, QThread::currentThreadId());
    EXPECT_EQ(readAll(file()), "Async");
}

TEST_F(GetPageTextTest, TheAsyncHelperReportsFailuresAndKeepsTheEarlierFile) {
    vt::test::writeAll(file(), "earlier text");
    QObject context;
    std::optional<vt::PageRead> result;
    vt::fetchPageTextAsync(server.url("/missing"), folder.path(), &context,
                           [&](const vt::PageRead& r) { result = r; });
    ASSERT_TRUE(vt::test::waitUntil([&] { return result.has_value(); }));
    EXPECT_FALSE(result->ok);
    EXPECT_TRUE(result->description.contains("404"));
    EXPECT_EQ(readAll(file()), "earlier text");
}

TEST_F(GetPageTextTest, TheAsyncHelperStaysSilentWhenItsContextGoes) {
    HttpRoute slow;
    slow.behaviour = HttpRoute::Behaviour::NeverAnswer;
    server.route("/silent", slow);
    bool called = false;
    {
        QObject context;
        vt::fetchPageTextAsync(server.url("/silent"), folder.path(), &context,
                               [&](const vt::PageRead&) { called = true; });
        ASSERT_TRUE(vt::test::waitUntil([&] { return server.hits("/silent") == 1; }));
    }
    // A later fetch through the same event loop completes; the first never reports.
    server.page("/p", "<p>later</p>");
    QObject other;
    std::optional<vt::PageRead> later;
    vt::fetchPageTextAsync(server.url("/p"), folder.path(), &other,
                           [&](const vt::PageRead& r) { later = r; });
    ASSERT_TRUE(vt::test::waitUntil([&] { return later.has_value(); }));
    EXPECT_TRUE(later->ok);
    EXPECT_FALSE(called);
}

} // namespace
