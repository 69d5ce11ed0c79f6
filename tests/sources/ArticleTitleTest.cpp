// The title that heads the article text.
#include "QtPrinting.h"
#include "sources/reader/PageText.h"

#include <gtest/gtest.h>

using vt::PageTextMode;
using vt::PageTexts;

namespace {

PageTexts articleOf(const QByteArray& html) {
    return vt::pageTextsOfHtml(html, QString(), PageTextMode::ArticleOnly);
}

// An encyclopedia page whose lead paragraph starts with the page's name, as
// most of them do.
QByteArray encyclopediaPage(const QByteArray& title, const QByteArray& lead) {
    return "<!DOCTYPE html><html><head><meta charset=\"UTF-8\"><title>" + title +
           " - Free Encyclopedia</title></head><body class=\"wiki\">\n<div id=\"content\" "
           "class=\"mw-body\" role=\"main\"><h1 id=\"firstHeading\">" +
           title + "</h1><div id=\"bodyContent\"><div class=\"mw-parser-output\"><p>" + lead +
           "</p>\n<p>The country is made up of two main islands and more than 700 smaller "
           "ones, and it lies some 2,000 kilometres east of the continent across the sea.</p>\n"
           "<p>Its capital is on the southern tip of the northern island, while the largest "
           "city, with about a third of the population, lies further north.</p>\n"
           "<p>Sheep farming, dairy and tourism carry most of the economy, and the long coast, "
           "the mountains and the lakes draw visitors from all over the world each "
           "summer.</p></div></div>"
           "</div>\n<div id=\"footer\" role=\"contentinfo\"><p>This page was last edited on 2 "
           "May.</p></div></body></html>\n";
}

TEST(ArticleTitle, IsAddedWhenTheFirstLineMerelyStartsWithIt) {
    const QString lead = QStringLiteral(
        "New Zealand (M\u0101ori: Aotearoa) is an island country in the southwestern Pacific "
        "Ocean, with a population of about five million people.");
    const PageTexts nz = articleOf(encyclopediaPage("New Zealand", lead.toUtf8()));
    ASSERT_TRUE(nz.article);
    EXPECT_EQ(nz.title, QStringLiteral("New Zealand"));
    EXPECT_TRUE(nz.text.startsWith(QStringLiteral("New Zealand\n\n") + lead))
        << nz.text.toStdString();

    const QString lorem = QStringLiteral(
        "Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod tempor "
        "incididunt ut labore et dolore magna aliqua.");
    const PageTexts lo = articleOf(encyclopediaPage("Lorem", lorem.toUtf8()));
    ASSERT_TRUE(lo.article);
    EXPECT_TRUE(lo.text.startsWith(QStringLiteral("Lorem\n\n") + lorem)) << lo.text.toStdString();
}

TEST(ArticleTitle, IsNotRepeatedWhenTheFirstLineIsTheTitle) {
    // The article's own first line says the title, in other case and spacing.
    const QByteArray page =
        "<html><head><title>Opening  hours</title></head><body><nav><a href=\"/\">Home</a>"
        "</nav><article><p class=\"lead\">OPENING HOURS</p><p>The shop is open from nine to "
        "six on weekdays, and from ten to two on Saturdays, except on public holidays, when "
        "it stays closed all day.</p><p>In December, the shop is open on Sundays too, from "
        "eleven to four, and the café upstairs serves mulled wine and small cakes.</p><p>The "
        "workshop behind the shop takes repairs on Tuesdays and Thursdays only, and asks you "
        "to book a time by phone or at the counter.</p><p>Parking is free "
        "behind the church, two minutes away on foot, and the bus to the station stops right "
        "in front of the door every twenty minutes.</p></article></body></html>";
    const PageTexts texts = articleOf(page);
    ASSERT_TRUE(texts.article);
    EXPECT_TRUE(texts.text.startsWith(QStringLiteral("OPENING HOURS\n\nThe shop is open")))
        << texts.text.toStdString();
}

// Four paragraphs of a report, for the pages below.
QByteArray reportParagraphs() {
    return "<p>The ferry company will add a third boat to the island route from May, after a "
           "winter in which one sailing in five was full before the last passengers boarded."
           "</p>\n<p>The new boat, bought second hand from a company in the south, takes two "
           "hundred passengers and forty cars, and needs a longer ramp at the island pier.</p>\n"
           "<p>Islanders welcomed the news but asked for an earlier first sailing, so that "
           "workers can reach the mainland before the shifts at the hospital begin.</p>\n<p>The "
           "company said it would look at the timetable again in the autumn, once it has seen "
           "how many people use the extra sailings.</p>\n";
}

TEST(ArticleTitle, IsFoundWhereMarkupBeforeTheHeadMovedIt) {
    // A script's container before <head>: the parser starts the body there and
    // the head's title and meta land in it.
    const QByteArray page = "<!DOCTYPE html><html><div id=\"fb-root\"></div><head><meta "
                            "charset=\"utf-8\"><title>Third ferry for the island route | Coast "
                            "News</title><meta property=\"og:title\" content=\"Third ferry for "
                            "the island route\"><meta name=\"description\" content=\"More "
                            "sailings from May.\"></head><body><div class=\"story\">" +
                            reportParagraphs() + "</div></body></html>";
    const PageTexts texts = articleOf(page);
    ASSERT_TRUE(texts.article);
    EXPECT_EQ(texts.title, QStringLiteral("Third ferry for the island route"));
    EXPECT_TRUE(texts.text.startsWith(QStringLiteral("Third ferry for the island route\n\nThe "
                                                     "ferry company")))
        << texts.text.toStdString();
    EXPECT_EQ(texts.outline.description, QStringLiteral("More sailings from May."));
    const PageTexts whole = vt::pageTextsOfHtml(page, QString(), PageTextMode::WholePage);
    EXPECT_EQ(whole.title, QStringLiteral("Third ferry for the island route"));
    EXPECT_EQ(
        vt::pageTextsOfHtml("<p>x</p><title>Late title</title>", QString(), PageTextMode::WholePage)
            .title,
        QStringLiteral("Late title"));
}

TEST(ArticleTitle, AHeadingInsideAPictureCaptionIsNotTheHeadline) {
    const QByteArray page =
        "<html><head><title>Third ferry for the island route - Coast News</title></head><body>"
        "<h1>Third ferry for the island route</h1><article><figure class=\"lead-image\"><img "
        "src=\"ferry.jpg\" alt=\"\"><figcaption><h1>The new ferry in its old colours</h1>"
        "</figcaption></figure>" +
        reportParagraphs() + "</article></body></html>";
    const PageTexts texts = articleOf(page);
    ASSERT_TRUE(texts.article);
    EXPECT_EQ(texts.title, QStringLiteral("Third ferry for the island route"));
    EXPECT_TRUE(texts.text.startsWith(QStringLiteral("Third ferry for the island route\n\n")))
        << texts.text.toStdString();
}

} // namespace
