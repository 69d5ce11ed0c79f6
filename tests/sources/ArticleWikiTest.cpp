// An encyclopedia article as wikis write it: a citation after every other
// sentence, a table whose cells are links, a reference list, edit links.
#include "ArticleChecks.h"
#include "support/html/HtmlText.h"

using vt::PageTexts;
using namespace vt::test;

namespace {

QByteArray cited(const QString& text, int first, int count) {
    QByteArray html = "<p>" + text.toUtf8();
    for (int i = first; i < first + count; ++i) {
        const QByteArray n = QByteArray::number(i);
        html += "<sup id=\"cite_ref-" + n + "\" class=\"reference\"><a href=\"#cite_note-" + n +
                "\">[" + n + "]</a></sup>";
    }
    return html + "</p>\n";
}

QByteArray heading(const char* id, const char* text) {
    return QByteArray("<h2><span class=\"mw-headline\" id=\"") + id + "\">" + text +
           "</span><span class=\"mw-editsection\"><span class=\"mw-editsection-bracket\">["
           "</span><a href=\"/w/index.php?title=Fjord_Line&amp;action=edit&amp;section=1\">edit"
           "</a><span class=\"mw-editsection-bracket\">]</span></span></h2>\n";
}

TEST(ArticleWiki, CitedArticleKeepsItsTableAndReadsNoMarkers) {
    const QStringList lead = {
        QStringLiteral("The Fjord Line was a coastal steamer route along the western coast, "
                       "run from 1893 until 1968 by three companies in turn."),
        QStringLiteral("At its height the route called at forty ports, most of them reachable "
                       "by no road at all until well after the war."),
        QStringLiteral("Its ships carried mail, cattle, timber and tourists, and the timetable "
                       "set the rhythm of life in many villages."),
    };
    const QStringList history = {
        QStringLiteral("The first sailing left the capital in June 1893 with eleven "
                       "passengers, a piano and the year's supply of salt for two parishes."),
        QStringLiteral("Competition from buses and the new coastal road ended the line, and "
                       "the last ship was sold to a shipyard for scrap in 1968."),
    };
    const QString quote = QStringLiteral(
        "We would hear the whistle long before we saw the smoke, and then the whole village "
        "went down to the quay, whether there was anything to fetch or not, because the boat "
        "was the only news we had, and nobody wanted to be the last to hear it. My father "
        "said he could tell the captain by the way the whistle was blown, and I believed him "
        "until I was twelve years old and went aboard myself for the first time.");
    const QStringList ships = {"SS Nordkyn", "SS Vesteraalen", "SS Hadsel", "SS Lofoten"};
    QByteArray rows;
    for (int i = 0; i < ships.size(); ++i) {
        rows += "<tr><td><a href=\"/wiki/" + ships[i].toUtf8().replace(' ', '_') + "\">" +
                ships[i].toUtf8() + "</a></td><td>" + QByteArray::number(1893 + 12 * i) +
                "</td><td>" + QByteArray::number(1930 + 9 * i) + "</td></tr>\n";
    }
    const QByteArray html =
        "<!DOCTYPE html><html><head><title>Fjord Line - Wikipedia</title></head><body "
        "class=\"mediawiki\"><div id=\"mw-navigation\"><div id=\"p-navigation\" role="
        "\"navigation\"><ul><li><a href=\"/wiki/Main_Page\">Main page</a></li><li><a href="
        "\"/wiki/Special:Random\">Random article</a></li></ul></div></div>\n<div id=\"content\" "
        "class=\"mw-body\" role=\"main\"><h1 id=\"firstHeading\">Fjord Line</h1><div "
        "id=\"bodyContent\"><div class=\"mw-parser-output\">\n" +
        cited(lead[0], 1, 7) + cited(lead[1], 8, 7) + cited(lead[2], 15, 7) +
        heading("History", "History") + cited(history[0], 22, 7) + cited(history[1], 29, 7) +
        "<blockquote><p>" + quote.toUtf8() + "</p></blockquote>\n" + heading("Ships", "Ships") +
        "<table class=\"wikitable\"><tr><th>Ship</th><th>Built</th><th>Sold</th></tr>\n" + rows +
        "</table>\n" + heading("References", "References") +
        "<div class=\"reflist\"><ol class=\"references\"><li id=\"cite_note-1\"><a href=\"#cite_"
        "ref-1\">^</a> <cite>Harbour records of the western coast, volume 2</cite></li></ol>"
        "</div>\n</div></div></div><div id=\"footer\" role=\"contentinfo\"><p>This page was "
        "last edited on 3 May.</p></div></body></html>\n";
    const PageTexts texts = articleTextsOf(html);
    EXPECT_TRUE(texts.article);
    QStringList expected = lead;
    expected << QStringLiteral("History") << history << quote << QStringLiteral("Ships") << ships;
    expectPassagesInOrder(texts.text, expected);
    expectPassagesAbsent(texts.text, {QStringLiteral("[1]"), QStringLiteral("[30]"),
                                      QStringLiteral("edit"), QStringLiteral("Harbour records"),
                                      QStringLiteral("Random article"), QStringLiteral("[")});
    const QString whole = vt::renderedText(html);
    EXPECT_TRUE(whole.contains(QStringLiteral("[30]")));
    EXPECT_TRUE(whole.contains(QStringLiteral("[edit]")));
}

} // namespace
