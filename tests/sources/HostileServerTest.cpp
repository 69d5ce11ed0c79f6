// Servers and addresses that try to make the fetch hold too much, wait for
// ever or run on: each ends within the limits with a clear description.
#include "FetchHelpers.h"
#include "QtPrinting.h"
#include "sources/reader/GetPageText.h"
#include "sources/reader/ReadPool.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QUrl>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

using vt::PageFetchLimits;
using vt::PageRead;
using vt::test::failedWith;
using vt::test::fetchNow;
using vt::test::HttpRoute;
using vt::test::LocalHttpServer;

namespace {

constexpr qint64 MB = 1024 * 1024;

class HostileServerTest : public ::testing::Test {
  protected:
    LocalHttpServer server;
};

// About 10 MB of gzip that unpacks to 10 GiB of zero bytes: the fetch stops
// early instead of unpacking it all.
TEST_F(HostileServerTest, AGzipBombStopsAtTheSizeLimit) {
    HttpRoute bomb;
    bomb.behaviour = HttpRoute::Behaviour::Flood;
    bomb.encoding = HttpRoute::Encoding::Gzip;
    bomb.floodBytes = qint64(1) << 40; // a terabyte unpacked, gigabytes compressed
    server.route("/bomb", bomb);
    const PageRead result = fetchNow(server.url("/bomb"));
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.description.contains("larger than 20 MB") ||
                result.description.contains("unpacks to more than"))
        << result.description.toStdString();
    // What the sockets buffer (loopback buffers grow to tens of megabytes), not
    // the gigabytes a fetch that unpacks without bound takes.
    EXPECT_LT(server.floodSent("/bomb"), 64 * MB);
}

TEST_F(HostileServerTest, AnEndlessChunkedBodyStopsAtTheSizeLimit) {
    HttpRoute endless;
    endless.behaviour = HttpRoute::Behaviour::Flood;
    server.route("/endless", endless);
    const PageRead result = fetchNow(server.url("/endless"));
    EXPECT_TRUE(failedWith(result, "larger than 20 MB"));
    // What the client took: the limit plus what the sockets buffer, not more.
    EXPECT_LT(server.floodSent("/endless"), 64 * MB);
}

TEST_F(HostileServerTest, AFileAddressThatIsNotARegularFileIsRefusedUnopened) {
    QTemporaryDir folder;
    const QString fifo = folder.filePath("pipe");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const PageRead piped = fetchNow(QUrl::fromLocalFile(fifo).toString());
    EXPECT_TRUE(failedWith(piped, "not a regular file"));
    const PageRead device = fetchNow("file:///dev/zero");
    EXPECT_TRUE(failedWith(device, "not a regular file"));
}

// A page the nesting limit cannot follow (it gives up after a select) with
// 200,000 nested blocks takes the parser minutes: the time limit ends the
// fetch, and the rendering stops with it instead of running on.
TEST_F(HostileServerTest, TheTimeLimitStopsTheRenderingToo) {
    server.page("/slow", "<select></select><a =\">" + QByteArray("<div>x").repeated(200000));
    PageFetchLimits limits;
    limits.time = std::chrono::milliseconds(1500);
    const PageRead result = fetchNow(server.url("/slow"), limits);
    EXPECT_TRUE(failedWith(result, "no complete answer within 1.5 seconds"));
    EXPECT_TRUE(vt::pageReadPool()->waitForDone(5000)) << "the rendering ran on";
}

// The window's fetch must not need the window thread: with that thread
// blocked, the page is still fetched, rendered and written.
TEST_F(HostileServerTest, TheWindowsFetchRunsOffItsThread) {
    server.page("/p", "<h1>Off the window thread</h1>");
    QTemporaryDir folder;
    QObject context;
    std::optional<PageRead> result;
    vt::fetchPageTextAsync(server.url("/p"), folder.path(), &context,
                           [&](const PageRead& r) { result = r; });
    QCoreApplication::processEvents(); // lets the request start, as the window's loop would
    const QString file = vt::pageTextFilePath(folder.path());
    bool written = false;
    for (int i = 0; i < 1000 && !written; ++i) { // this thread runs no events meanwhile
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        written = QFile::exists(file) && QFile(file).size() > 0;
    }
    EXPECT_TRUE(written);
    ASSERT_TRUE(vt::test::waitUntil([&] { return result.has_value(); }));
    EXPECT_TRUE(result->ok) << result->description.toStdString();
    EXPECT_EQ(result->text, "Off the window thread");
}

} // namespace
