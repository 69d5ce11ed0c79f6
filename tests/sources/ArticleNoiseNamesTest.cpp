// Articles whose own elements carry names that sound like noise, beside real
// noise (a photo gallery) and marks that are not read.
#include "ArticleChecks.h"
#include "support/html/HtmlText.h"

using vt::PageTexts;
using namespace vt::test;

namespace {

QByteArray paragraphs(const QStringList& texts) {
    QByteArray html;
    for (const QString& text : texts) {
        html += "<p>" + text.toUtf8() + "</p>\n";
    }
    return html;
}

// A news site whose sharing script names the body's element after itself,
// with a photo gallery of long captions above the text.
TEST(ArticleNoiseNames, BodyWhoseIdSaysShareIsStillTheArticle) {
    const QStringList story = {
        QStringLiteral("The old swimming baths on Mill Street will open again in September, "
                       "twelve years after they closed, the town's leisure trust said on "
                       "Wednesday."),
        QStringLiteral("Volunteers raised most of the money for the new roof and boilers, and "
                       "the trust found the rest, which let the work start last spring."),
        QStringLiteral("The main pool keeps its tiles from 1902, cleaned and repaired by hand, "
                       "while the small pool has been turned into a learner pool for children."),
        QStringLiteral("Tickets will cost the same as at the sports centre, and schools in the "
                       "town can book the learner pool for free on weekday mornings."),
    };
    const QStringList captions = {
        QStringLiteral("The main hall of the baths in 1910, a few years after it opened, with "
                       "the spectators' gallery full for a swimming gala on a summer evening."),
        QStringLiteral("Workers lift the last section of the new roof into place in February, "
                       "watched by volunteers who had raised money for it for nearly a decade."),
        QStringLiteral("The learner pool, once the second-class bath, now has a floor that can "
                       "be raised or lowered, so that children of any age can stand in it."),
    };
    QByteArray gallery;
    for (int i = 0; i < captions.size(); ++i) {
        gallery += "<figure class=\"gallery-item\"><img src=\"baths" + QByteArray::number(i) +
                   ".jpg\" alt=\"\"><figcaption class=\"gallery-caption\">" + captions[i].toUtf8() +
                   "</figcaption></figure>\n";
    }
    const QByteArray html =
        "<!DOCTYPE html><html><head><title>Mill Street baths to reopen in September</title>"
        "</head><body><div class=\"site-nav\"><a href=\"/\">Home</a> <a href=\"/news\">News</a>"
        "</div><div class=\"page-wrap\"><h1 class=\"headline\">Mill Street baths to reopen in "
        "September</h1><div class=\"photo-gallery slideshow\">" +
        gallery +
        "</div>\n<div class=\"article-text\" itemprop=\"articleBody\" "
        "id=\"gigya-share-btns-2_gig_containerParent\">" +
        paragraphs(story) +
        "</div></div><div class=\"site-footer\">Copyright The Valley Post</div></body></html>\n";
    const PageTexts texts = articleTextsOf(html);
    EXPECT_TRUE(texts.article);
    EXPECT_TRUE(texts.text.startsWith(
        QStringLiteral("Mill Street baths to reopen in September\n\n") + story[0]))
        << texts.text.toStdString();
    expectPassagesInOrder(texts.text, story);
    expectPassagesAbsent(texts.text, captions);
}

// A program's manual, as documentation generators write it: sections named
// after their headings, headings that link back to the contents, and an
// anchor mark after each heading.
TEST(ArticleNoiseNames, ManualKeepsItsSharingSectionsAndReadsNoAnchorMarks) {
    const QStringList intro = {QStringLiteral(
        "This guide explains how to keep your notebooks in sync between computers, and how to "
        "let other people read or change them. Each section can be read on its own.")};
    const QStringList sharing = {
        QStringLiteral("A notebook you share stays yours: the people you invite see it in their "
                       "own list, marked with your name, and can leave it at any time."),
        QStringLiteral("To invite someone, open the notebook, choose Invite from the File menu, "
                       "and type their address. They get a message with a link to accept."),
    };
    const QStringList social = {
        QStringLiteral("You can sign in with an account you already have elsewhere instead of "
                       "making a new one. Only your name and address are read from it, and "
                       "nothing is ever posted on your behalf."),
    };
    const QStringList syncing = {
        QStringLiteral("Changes are sent as soon as you stop typing for a few seconds. When two "
                       "people change the same page at once, both versions are kept, and the "
                       "older one is shown with a note at its top."),
    };
    auto section = [](const char* id, const char* ref, const QString& heading,
                      const QStringList& text) {
        return QByteArray("<section id=\"") + id + "\"><h2><a class=\"toc-backref\" href=\"#" +
               ref + "\" role=\"doc-backlink\">" + heading.toUtf8() +
               "</a><a class=\"headerlink\" href=\"#" + id +
               "\" title=\"Link to this heading\">\u00B6</a></h2>\n" + paragraphs(text) +
               "</section>\n";
    };
    const QByteArray html =
        "<!DOCTYPE html><html><head><title>Working together \u2014 Notebook 4.2 "
        "documentation</title></head><body><div class=\"related\" role=\"navigation\"><ul><li>"
        "<a href=\"genindex.html\">index</a></li><li><a href=\"install.html\">previous</a></li>"
        "</ul></div>\n<div class=\"document\"><div class=\"body\" role=\"main\"><section "
        "id=\"working-together\"><h1>Working together<a class=\"headerlink\" "
        "href=\"#working-together\">\u00B6</a></h1>\n" +
        paragraphs(intro) +
        "<nav class=\"contents\" id=\"contents\"><p class=\"topic-title\">Contents</p><ul><li><a "
        "href=\"#sharing-with-others\" id=\"id1\">Sharing with others</a></li><li><a "
        "href=\"#social-sign-in\" id=\"id2\">Social sign-in</a></li><li><a href=\"#syncing\" "
        "id=\"id3\">Syncing</a></li></ul></nav>\n" +
        section("sharing-with-others", "id1", QStringLiteral("Sharing with others"), sharing) +
        section("social-sign-in", "id2", QStringLiteral("Social sign-in"), social) +
        section("syncing", "id3", QStringLiteral("Syncing"), syncing) +
        "</section></div></div>\n<div class=\"sphinxsidebar\" role=\"navigation\"><h3>Quick "
        "search</h3><form action=\"search.html\"><input name=\"q\"><input type=\"submit\" "
        "value=\"Go\"></form></div><div class=\"footer\">\u00A9 The Notebook authors.</div>"
        "</body></html>\n";
    const PageTexts texts = articleTextsOf(html);
    EXPECT_TRUE(texts.article);
    QStringList expected = intro;
    expected << QStringLiteral("Sharing with others") << sharing << QStringLiteral("Social sign-in")
             << social << QStringLiteral("Syncing") << syncing;
    expectPassagesInOrder(texts.text, expected);
    expectPassagesAbsent(texts.text, {QStringLiteral("\u00B6"), QStringLiteral("Quick search"),
                                      QStringLiteral("previous")});
    EXPECT_TRUE(vt::renderedText(html).contains(QStringLiteral("\u00B6")));
}

} // namespace
