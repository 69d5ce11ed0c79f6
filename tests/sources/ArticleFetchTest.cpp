// Article mode and the page title along the fetch paths: the fetcher, the page
// text file, the window's asynchronous fetch and the text command.
#include "ArticlePages.h"
#include "FetchHelpers.h"
#include "commands/PageTextCommand.h"
#include "core/SettingsStore.h"
#include "core/files/TempFolders.h"
#include "sources/reader/GetPageText.h"
#include "sources/reader/PageText.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnvironment.h"

#include <QObject>
#include <QTextStream>
#include <future>
#include <gtest/gtest.h>

using vt::PageTextMode;
using vt::test::LocalHttpServer;

namespace {

class ArticleFetch : public ::testing::Test {
  protected:
    void SetUp() override {
        vt::test::clearSettings();
        server.page("/news", page.html, "text/html; charset=utf-8");
        article = vt::pageTextsOfHtml(page.html, QString(), PageTextMode::ArticleOnly).text;
        whole = vt::pageTextsOfHtml(page.html, QString(), PageTextMode::WholePage).text;
        ASSERT_NE(article, whole);
    }

    // Runs the text command with the arguments that follow --text.
    QString command(const QStringList& arguments) {
        QByteArray outBytes;
        QString errText;
        {
            QTextStream out(&outBytes);
            QTextStream err(&errText);
            EXPECT_EQ(vt::pageTextCommand(arguments, out, err), 0) << errText.toStdString();
        }
        return QString::fromUtf8(outBytes);
    }

    const vt::test::ArticlePage page = vt::test::newsArticlePage();
    LocalHttpServer server;
    QString article;
    QString whole;
};

TEST_F(ArticleFetch, EveryFetchGivesThePageTitleAndTheWholePageByDefault) {
    const vt::PageRead result = vt::test::fetchNow(server.url("/news"));
    ASSERT_TRUE(result.ok) << result.description.toStdString();
    EXPECT_EQ(result.text, whole);
    EXPECT_EQ(result.title, page.title);

    server.page("/plain", "Just some text.", "text/plain");
    const vt::PageRead plain = vt::test::fetchNow(server.url("/plain"));
    EXPECT_EQ(plain.text, QStringLiteral("Just some text."));
    EXPECT_EQ(plain.title, QString());
}

TEST_F(ArticleFetch, ThePageTextFileHoldsTheArticleThatIsRead) {
    vt::PrivateFolder folder;
    ASSERT_TRUE(folder.isValid());
    QString returned;
    std::async(std::launch::async, [&] {
        returned =
            vt::GetPageText(server.url("/news"), folder.path(), {}, PageTextMode::ArticleOnly);
    }).get();
    EXPECT_EQ(returned, article);
    EXPECT_TRUE(returned.startsWith(page.title));
    EXPECT_EQ(QString::fromUtf8(vt::test::readAll(vt::pageTextFilePath(folder.path()))), article);
}

TEST_F(ArticleFetch, TheWindowsFetchTakesTheModeToo) {
    vt::PrivateFolder folder;
    QObject context;
    std::optional<vt::PageRead> result;
    vt::fetchPageTextAsync(
        server.url("/news"), folder.path(), &context,
        [&](const vt::PageRead& r) { result = r; }, PageTextMode::ArticleOnly);
    ASSERT_TRUE(vt::test::waitUntil([&] { return result.has_value(); }));
    EXPECT_EQ(result->text, article);
    EXPECT_EQ(result->title, page.title);
}

TEST_F(ArticleFetch, CommandLineOptionsAndTheStoredChoice) {
    const QString address = server.url("/news");
    EXPECT_EQ(command({address}), whole);
    EXPECT_EQ(command({address, "--article"}), article);
    EXPECT_EQ(command({"--article", address}), article);

    vt::SettingsStore().write(vt::key::ArticleOnly, "1");
    EXPECT_EQ(command({address}), article);
    EXPECT_EQ(command({address, "--whole-page"}), whole);
    EXPECT_EQ(command({"--article", address, "--whole-page"}), whole); // --whole-page wins
    vt::SettingsStore().write(vt::key::ArticleOnly, "0");
    EXPECT_EQ(command({address}), whole);

    EXPECT_TRUE(vt::isPageTextCommand({address, "--whole-page"}));
    EXPECT_FALSE(vt::isPageTextCommand({"--article"}));
    EXPECT_FALSE(vt::isPageTextCommand({address, "--article", "extra"}));
}

} // namespace
