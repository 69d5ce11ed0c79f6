#include "ArticlePages.h"
#include "QtPrinting.h"
#include "sources/reader/PageText.h"
#include "support/html/HtmlText.h"

#include <gtest/gtest.h>

using vt::PageTextMode;
using vt::PageTexts;
using vt::test::ArticlePage;

namespace {

PageTexts articleOf(const QByteArray& html) {
    return vt::pageTextsOfHtml(html, QString(), PageTextMode::ArticleOnly);
}

// Each passage is in the text, after the one before it.
void expectInOrder(const QString& text, const QStringList& passages) {
    qsizetype from = 0;
    for (const QString& passage : passages) {
        const qsizetype at = text.indexOf(passage, from);
        EXPECT_GE(at, 0) << "missing or out of order: " << passage.toStdString() << "\nin:\n"
                         << text.toStdString();
        if (at >= 0) {
            from = at + passage.size();
        }
    }
}

void expectAbsent(const QString& text, const QStringList& passages) {
    for (const QString& passage : passages) {
        EXPECT_FALSE(text.contains(passage)) << "noise read: " << passage.toStdString() << "\nin:\n"
                                             << text.toStdString();
    }
}

// The article of a page: headed by its title, all its passages in order, none
// of the noise around it.
void expectArticle(const ArticlePage& page) {
    const PageTexts texts = articleOf(page.html);
    EXPECT_TRUE(texts.article);
    EXPECT_EQ(texts.title, page.title);
    EXPECT_TRUE(texts.text.startsWith(page.title + QStringLiteral("\n\n")))
        << texts.text.toStdString();
    expectInOrder(texts.text, page.article);
    expectAbsent(texts.text, page.noise);
    // The whole page has the noise, so the test pages are worth their name.
    const QString whole = vt::renderedText(page.html);
    for (const QString& noise : page.noise) {
        EXPECT_TRUE(whole.contains(noise)) << noise.toStdString();
    }
}

TEST(ArticleExtraction, NewsArticleWithoutMenusSidebarRelatedCommentsAndFooter) {
    expectArticle(vt::test::newsArticlePage());
}

TEST(ArticleExtraction, BlogPostWithoutShareButtons) {
    expectArticle(vt::test::blogPostPage());
}

TEST(ArticleExtraction, DocumentationPageWithoutItsTableOfContents) {
    expectArticle(vt::test::documentationPage());
}

TEST(ArticleExtraction, WikiPageWithoutContentsReferencesAndEditLinks) {
    expectArticle(vt::test::wikiPage());
}

TEST(ArticleExtraction, ForumThreadKeepsEveryPostWithoutProfilesAndButtons) {
    expectArticle(vt::test::forumThreadPage());
}

TEST(ArticleExtraction, KeepsTheLineStructureOfTheRenderedText) {
    const ArticlePage page = vt::test::newsArticlePage();
    const QString text = articleOf(page.html).text;
    // Paragraphs stay a blank line apart, the caption a line of its own.
    EXPECT_TRUE(text.contains(page.article[0] + QStringLiteral("\n\n") + page.article[1]));
    EXPECT_TRUE(text.contains(page.article[1] + QStringLiteral("\n\n") + page.article[2] +
                              QStringLiteral("\n\n") + page.article[3]))
        << text.toStdString();
}

TEST(ArticleExtraction, ListingOfTeasersFallsBackToTheWholePage) {
    const ArticlePage page = vt::test::listingPage();
    const PageTexts texts = articleOf(page.html);
    EXPECT_FALSE(texts.article);
    EXPECT_EQ(texts.text, vt::renderedText(page.html));
    expectInOrder(texts.text, page.article);
}

TEST(ArticleExtraction, ShortPageFallsBackToTheWholePage) {
    const ArticlePage page = vt::test::shortPage();
    const PageTexts texts = articleOf(page.html);
    EXPECT_FALSE(texts.article);
    EXPECT_EQ(texts.text, vt::renderedText(page.html));
    expectInOrder(texts.text, page.article);
    EXPECT_EQ(texts.title, page.title);
}

TEST(ArticleExtraction, NeverSilentWhereThePageHasText) {
    const QByteArray pages[] = {
        "",
        "<p>one line</p>",
        "<body><nav><a href=/>Home</a> <a href=/a>About</a></nav></body>",
        "<div hidden><p>" +
            QByteArray("A hidden story, long enough to count as prose. ").repeated(20) +
            "</p></div><p>Shown.</p>",
        "<div style=\"display:none\"><article><p>" +
            QByteArray("Not shown at all, though long and written in sentences. ").repeated(20) +
            "</p></article></div><p>What the reader sees.</p>",
    };
    for (const QByteArray& html : pages) {
        const PageTexts texts = articleOf(html);
        EXPECT_EQ(texts.text, vt::renderedText(html)) << html.toStdString();
    }
}

TEST(ArticleExtraction, WholePageModeKeepsTheWholeTextAndStillGivesTheTitle) {
    for (const ArticlePage& page :
         {vt::test::newsArticlePage(), vt::test::wikiPage(), vt::test::blogPostPage()}) {
        const PageTexts texts = vt::pageTextsOfHtml(page.html, QString(), PageTextMode::WholePage);
        EXPECT_FALSE(texts.article);
        EXPECT_EQ(texts.text, vt::renderedText(page.html));
        EXPECT_EQ(texts.title, page.title);
    }
}

TEST(ArticleExtraction, TitleFallsBackToOpenGraphThenTitleElement) {
    const QByteArray body =
        "<body><div class=\"content\"><p>" +
        QByteArray("A paragraph of plain prose, with commas, for the finder to weigh. ")
            .repeated(12) +
        "</p></div></body>";
    EXPECT_EQ(vt::pageTextsOfHtml("<head><title>Head title</title><meta property=\"og:title\" "
                                  "content=\" Shared  title \"></head>" +
                                      body,
                                  QString(), PageTextMode::WholePage)
                  .title,
              QStringLiteral("Shared title"));
    const PageTexts fromHead = vt::pageTextsOfHtml(
        "<head><title>Head\n title</title></head>" + body, QString(), PageTextMode::ArticleOnly);
    EXPECT_EQ(fromHead.title, QStringLiteral("Head title"));
    EXPECT_TRUE(fromHead.text.startsWith(QStringLiteral("Head title\n\nA paragraph")));
    EXPECT_EQ(vt::pageTextsOfHtml(body, QString(), PageTextMode::ArticleOnly).title, QString());
}

TEST(ArticleExtraction, LeavesTheParsedPageAsItWas) {
    // The extraction empties left-out elements while it renders; the same page
    // read again, whole, must not notice.
    const ArticlePage page = vt::test::newsArticlePage();
    const PageTexts first = articleOf(page.html);
    const PageTexts second = articleOf(page.html);
    EXPECT_EQ(first.text, second.text);
}

} // namespace

namespace {

TEST(ArticleExtraction, BylineListsAndReadMoreLinksInsideTheArticleAreLeftOut) {
    const QString first = QStringLiteral(
        "The bridge reopened on Friday after eight months of repairs, two weeks earlier than "
        "planned, and the first bus crossed it at six in the morning.");
    const QString third = QStringLiteral(
        "Traffic in the old town, which took the detour all winter, is expected to fall by "
        "half, and the weekly market will move back to the square next Saturday.");
    const QString second = QStringLiteral(
        "Engineers replaced the bearings and half of the deck, and the bridge can now carry "
        "lorries again, which the quarry on the far bank had long asked for. The council thanked "
        "the people of both villages for their patience during the long detour.");
    const QByteArray html =
        "<html><head><title>Bridge reopens</title></head><body><article><h1>Bridge reopens</h1>"
        "<ul class=\"article-meta\"><li>By Ola Nyberg</li><li>7 June 2024</li><li>3 min read"
        "</li></ul><p>" +
        first.toUtf8() +
        "</p><p class=\"read-more\">Read more: <a href=\"/a\">The bridge's long history in "
        "pictures</a></p><p>" +
        second.toUtf8() +
        "</p><ul><li><a href=\"/b\">Ferry to stop at the old pier</a></li><li><a href=\"/c\">"
        "Quarry plans a second site</a></li></ul><p>" +
        third.toUtf8() + "</p></article></body></html>";
    const PageTexts texts = articleOf(html);
    ASSERT_TRUE(texts.article);
    EXPECT_EQ(texts.text, QStringLiteral("Bridge reopens\n\n") + first + QStringLiteral("\n\n") +
                              second + QStringLiteral("\n\n") + third);
}

} // namespace
