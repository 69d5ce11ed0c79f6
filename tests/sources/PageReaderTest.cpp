#include "FetchHelpers.h"
#include "QtPrinting.h"
#include "sources/fetch/PageTransfer.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

using vt::PageFetchLimits;
using vt::PageRead;
using vt::test::failedWith;
using vt::test::fetchNow;
using vt::test::HttpRoute;
using vt::test::LocalHttpServer;

namespace {

const QByteArray SimplePage = "<html><head><title>T</title></head><body><p>Hello "
                              "<b>world</b></p><p>Second</p></body></html>";

class PageReaderTest : public ::testing::Test {
  protected:
    LocalHttpServer server;
};

TEST_F(PageReaderTest, FetchesAnHtmlPageAsRenderedText) {
    server.page("/a", SimplePage);
    const PageRead result = fetchNow(server.url("/a"));
    ASSERT_TRUE(result.ok) << result.description.toStdString();
    EXPECT_EQ(result.text, "Hello world\n\nSecond");
    EXPECT_FALSE(server.lastRequestHeader("/a", "user-agent").isEmpty());
}

TEST_F(PageReaderTest, BlanksAroundTheAddressDoNotMatter) {
    server.page("/a", SimplePage);
    const PageRead result = fetchNow("  " + server.url("/a") + "\t");
    ASSERT_TRUE(result.ok) << result.description.toStdString();
    EXPECT_EQ(result.text, "Hello world\n\nSecond");
}

TEST_F(PageReaderTest, FollowsARedirectChain) {
    server.redirect("/r1", "/r2", 301);
    server.redirect("/r2", server.url("/r3"), 302);
    server.redirect("/r3", "r4", 307);
    server.page("/r4", SimplePage);
    const PageRead result = fetchNow(server.url("/r1"));
    ASSERT_TRUE(result.ok) << result.description.toStdString();
    EXPECT_EQ(result.text, "Hello world\n\nSecond");
    EXPECT_EQ(server.hits("/r4"), 1);
}

TEST_F(PageReaderTest, FollowsExactlyTheAllowedNumberOfRedirects) {
    for (int i = 0; i < 11; ++i) {
        server.redirect(QStringLiteral("/hop%1").arg(i), QStringLiteral("/hop%1").arg(i + 1));
    }
    server.page("/hop10", SimplePage);
    server.page("/hop11", SimplePage);
    EXPECT_TRUE(fetchNow(server.url("/hop0")).ok); // 10 redirects
    const PageRead tooMany =
        fetchNow(server.url("/hop0"), PageFetchLimits{std::chrono::seconds(30), 1 << 20, 9});
    EXPECT_TRUE(failedWith(tooMany, "more than 9"));
}

TEST_F(PageReaderTest, ARedirectLoopFailsWithADescription) {
    server.redirect("/ping", "/pong");
    server.redirect("/pong", "/ping");
    const PageRead result = fetchNow(server.url("/ping"));
    EXPECT_TRUE(failedWith(result, "loop"));
    EXPECT_TRUE(result.description.contains(server.url("/ping")));
    EXPECT_LE(server.hits("/ping") + server.hits("/pong"), 12);
}

TEST_F(PageReaderTest, ARedirectToAnotherSchemeIsRefused) {
    server.redirect("/to-file", "file:///etc/passwd");
    const PageRead result = fetchNow(server.url("/to-file"));
    EXPECT_TRUE(failedWith(result, "not a web address"));
}

TEST_F(PageReaderTest, ErrorStatusesFailWithTheStatus) {
    HttpRoute broken;
    broken.status = 500;
    broken.headers = {{"Content-Type", "text/html"}};
    broken.body = "<p>oops</p>";
    server.route("/broken", broken);

    const PageRead missing = fetchNow(server.url("/missing"));
    EXPECT_TRUE(failedWith(missing, "404 Not Found"));
    EXPECT_TRUE(missing.description.contains(server.url("/missing")));

    const PageRead failed = fetchNow(server.url("/broken"));
    EXPECT_TRUE(failedWith(failed, "500 Internal Server Error"));
}

TEST_F(PageReaderTest, AServerThatNeverAnswersTimesOut) {
    HttpRoute silent;
    silent.behaviour = HttpRoute::Behaviour::NeverAnswer;
    server.route("/silent", silent);
    const PageRead result = fetchNow(server.url("/silent"),
                                     PageFetchLimits{std::chrono::milliseconds(400), 1 << 20, 10});
    EXPECT_TRUE(failedWith(result, "no complete answer within 0.4 seconds"));
}

TEST_F(PageReaderTest, AnEndlessSlowBodyTimesOut) {
    HttpRoute slow;
    slow.behaviour = HttpRoute::Behaviour::SlowEndless;
    slow.interval = std::chrono::milliseconds(20);
    server.route("/slow", slow);
    const PageRead result =
        fetchNow(server.url("/slow"), PageFetchLimits{std::chrono::milliseconds(500), 1 << 20, 10});
    EXPECT_TRUE(failedWith(result, "within"));
}

TEST_F(PageReaderTest, DecompressesGzipAndDeflateBodies) {
    const QByteArray page = "<p>" + QByteArray("compressed text ").repeated(2000) + "</p>";
    for (const auto encoding : {HttpRoute::Encoding::Gzip, HttpRoute::Encoding::Deflate}) {
        HttpRoute packed;
        packed.headers = {{"Content-Type", "text/html; charset=utf-8"}};
        packed.body = page;
        packed.encoding = encoding;
        server.route("/packed", packed);
        const PageRead result = fetchNow(server.url("/packed"));
        ASSERT_TRUE(result.ok) << result.description.toStdString();
        EXPECT_EQ(result.text, QString("compressed text ").repeated(2000).trimmed());
    }
    EXPECT_TRUE(server.lastRequestHeader("/packed", "accept-encoding").contains("gzip"));
}

// Each page in the encoding it declares, by the order of precedence a browser
// uses: a byte order mark, then the HTTP header, then a meta.
TEST_F(PageReaderTest, ReadsEachPageInTheEncodingItDeclares) {
    struct EncodedPage {
        const char* path;
        QByteArray body;
        QByteArray contentType;
        const char* text; // UTF-8
    };
    const EncodedPage pages[] = {
        {"/w",
         "<html><head><meta charset=\"windows-1252\"></head><body>"
         "<p>Caf\xE9 \x93quoted\x94 \x80 5</p></body></html>",
         "text/html", "Café “quoted” € 5"},
        // "日本語のページ" in Shift_JIS, and a meta that lies: the header wins.
        {"/sjis",
         "<meta charset=\"utf-8\"><p>\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x83\x79\x81\x5b"
         "\x83\x57</p>",
         "text/html; charset=Shift_JIS", "日本語のページ"},
        // A byte order mark outranks the header.
        {"/bom", "\xEF\xBB\xBF<p>na\xC3\xAFve \xE2\x80\x94 r\xC3\xA9sum\xC3\xA9</p>",
         "text/html; charset=iso-8859-1", "naïve — résumé"},
    };
    for (const EncodedPage& page : pages) {
        SCOPED_TRACE(page.path);
        server.page(page.path, page.body, page.contentType);
        const PageRead result = fetchNow(server.url(page.path));
        ASSERT_TRUE(result.ok) << result.description.toStdString();
        EXPECT_EQ(result.text, QString::fromUtf8(page.text));
    }
}

TEST_F(PageReaderTest, APageOverTheSizeLimitFails) {
    HttpRoute big;
    big.headers = {{"Content-Type", "text/html"}};
    big.body = QByteArray(3 * 1024 * 1024, 'a');
    server.route("/big", big);
    const PageRead result = fetchNow(
        server.url("/big"), PageFetchLimits{std::chrono::seconds(30), 2 * 1024 * 1024, 10});
    EXPECT_TRUE(failedWith(result, "larger than 2 MB"));

    // Without a length up front, the limit still stops the transfer.
    big.encoding = HttpRoute::Encoding::Gzip; // the declared length is the packed one
    server.route("/bomb", big);
    const PageRead bomb = fetchNow(server.url("/bomb"),
                                   PageFetchLimits{std::chrono::seconds(30), 2 * 1024 * 1024, 10});
    EXPECT_TRUE(failedWith(bomb, "larger than 2 MB"));
}

TEST_F(PageReaderTest, PlainTextIsTakenAsItIs) {
    server.page("/t", "Line <b>one</b>\r\n\r\n   indented  line\ttab\r\n",
                "text/plain; charset=utf-8");
    const PageRead result = fetchNow(server.url("/t"));
    ASSERT_TRUE(result.ok) << result.description.toStdString();
    EXPECT_EQ(result.text, "Line <b>one</b>\n\n   indented  line\ttab\n");
}

TEST_F(PageReaderTest, ImagesAndBinaryDataAreRefused) {
    server.page("/img", "\x89PNG\r\n\x1A\n\0\0\0\rIHDR", "image/png");
    const PageRead image = fetchNow(server.url("/img"));
    EXPECT_TRUE(failedWith(image, "an image (image/png)"));

    // An unlabelled image is recognised by its bytes.
    HttpRoute unlabelled;
    unlabelled.body = QByteArray("GIF89a\x01\x00\x01\x00\x00\x00\x00", 13);
    server.route("/unlabelled", unlabelled);
    const PageRead sniffed = fetchNow(server.url("/unlabelled"));
    EXPECT_TRUE(failedWith(sniffed, "GIF"));

    server.page("/bin", QByteArray("\x01\x02\x03\x04 binary", 11), "application/octet-stream");
    EXPECT_FALSE(fetchNow(server.url("/bin")).ok);
}

TEST_F(PageReaderTest, ARefusedConnectionFails) {
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        closedPort = probe.serverPort();
    }
    const PageRead result = fetchNow(QStringLiteral("http://127.0.0.1:%1/").arg(closedPort));
    EXPECT_TRUE(failedWith(result, "refused the connection"));
}

TEST_F(PageReaderTest, AnUnknownHostFails) {
    const PageRead result = fetchNow("http://no-such-host.invalid/page");
    EXPECT_TRUE(failedWith(result, "no-such-host.invalid"));
}

TEST_F(PageReaderTest, AddressesThatCannotBeFetchedFailAtOnce) {
    for (const char* address : {"example.com/page", "ftp://example.com/", "http://", ""}) {
        const PageRead result = fetchNow(address);
        EXPECT_FALSE(result.ok) << address;
        EXPECT_TRUE(result.description.startsWith("Cannot read")) << address;
    }
}

TEST_F(PageReaderTest, ReadsFileAddresses) {
    const QString folder = vt::test::sandboxFolder();
    vt::test::writeAll(folder + "/page.html", "<title>x</title><h1>Local</h1><p>file</p>");
    vt::test::writeAll(folder + "/notes.txt", "plain <notes>");
    vt::test::writeAll(folder + "/picture.dat", QByteArray("\x89PNG\r\n\x1A\n\0\0", 10));

    const PageRead page = fetchNow(QUrl::fromLocalFile(folder + "/page.html").toString());
    ASSERT_TRUE(page.ok) << page.description.toStdString();
    EXPECT_EQ(page.text, "Local\n\nfile");
    const PageRead notes = fetchNow(QUrl::fromLocalFile(folder + "/notes.txt").toString());
    ASSERT_TRUE(notes.ok) << notes.description.toStdString();
    EXPECT_EQ(notes.text, "plain <notes>");
    EXPECT_FALSE(fetchNow(QUrl::fromLocalFile(folder + "/picture.dat").toString()).ok);
    const PageRead missing = fetchNow(QUrl::fromLocalFile(folder + "/none.html").toString());
    EXPECT_TRUE(failedWith(missing, "none.html"));
}

TEST_F(PageReaderTest, AbortStopsWithoutAResult) {
    HttpRoute silent;
    silent.behaviour = HttpRoute::Behaviour::NeverAnswer;
    server.route("/silent", silent);
    server.page("/a", SimplePage);
    vt::PageTransfer fetcher;
    QSignalSpy spy(&fetcher, &vt::PageTransfer::finished);
    fetcher.fetch(server.url("/silent"));
    ASSERT_TRUE(vt::test::waitUntil([&] { return server.hits("/silent") == 1; }));
    fetcher.abort();
    EXPECT_FALSE(fetcher.isRunning());
    // The fetcher can be used again; only the new fetch reports.
    fetcher.fetch(server.url("/a"));
    ASSERT_TRUE(vt::test::waitUntil([&] { return spy.count() > 0; }));
    EXPECT_EQ(spy.count(), 1);
    EXPECT_TRUE(spy.first().first().value<vt::FetchedPage>().ok);
}

// readPageAsync's stop token ends the read wherever it is, with the same
// words as a cancelled GetPageText.
TEST_F(PageReaderTest, AStopEndsAReadWaitingForTheServer) {
    HttpRoute silent;
    silent.behaviour = HttpRoute::Behaviour::NeverAnswer;
    server.route("/silent", silent);
    std::stop_source stop;
    const QFuture<PageRead> read =
        vt::readPageAsync(server.url("/silent"), vt::PageTextMode::WholePage, stop.get_token());
    ASSERT_TRUE(vt::test::waitUntil([&] { return server.hits("/silent") == 1; }));
    stop.request_stop();
    ASSERT_TRUE(vt::test::waitUntil([&] { return read.isFinished(); }, 10000));
    EXPECT_FALSE(read.result().ok);
    EXPECT_EQ(read.result().description, "The page fetch was cancelled.");
}

// The page parses for minutes (see HostileServerTest): the stop, asked for
// once the body has come, ends the parsing too.
TEST_F(PageReaderTest, AStopEndsTheParsingToo) {
    server.page("/slow", "<select></select><a =\">" + QByteArray("<div>x").repeated(200000));
    std::stop_source stop;
    const QFuture<PageRead> read =
        vt::readPageAsync(server.url("/slow"), vt::PageTextMode::ArticleOnly, stop.get_token());
    ASSERT_TRUE(vt::test::waitUntil([&] { return server.hits("/slow") == 1; }));
    QTest::qWait(500); // the body is a megabyte on the loopback: it has come by now
    stop.request_stop();
    ASSERT_TRUE(vt::test::waitUntil([&] { return read.isFinished(); }, 10000))
        << "the parsing ran on";
    EXPECT_EQ(read.result().description, "The page fetch was cancelled.");
}

} // namespace
