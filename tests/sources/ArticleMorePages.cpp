// The wiki, forum, listing and short pages.
#include "ArticlePages.h"

namespace vt::test {

namespace {

QByteArray utf8(const QString& text) {
    return text.toUtf8();
}

} // namespace

ArticlePage wikiPage() {
    ArticlePage page;
    page.title = QStringLiteral("Lighthouse of Vardø Point");
    page.article = {
        QStringLiteral("The Lighthouse of Vardø Point is a stone lighthouse on the northern cape "
                       "of the island, built between 1851 and 1856 and still in use."),
        QStringLiteral("History"),
        QStringLiteral("The tower replaced a wooden beacon that burned down in 1849. Its lamp, "
                       "first fired with whale oil, was converted to paraffin in 1890 and to "
                       "electricity in 1921."),
        QStringLiteral("During the war the light was dimmed for five years, and the keepers "
                       "reported passing convoys to the harbour master by telephone."),
        QStringLiteral("Architecture"),
        QStringLiteral("The tower is 27 metres high, round, and built of local granite, with a "
                       "keeper's house joined to it by a covered passage."),
    };
    page.noise = {QStringLiteral("Contents"),
                  QStringLiteral("Jump to navigation"),
                  QStringLiteral("Navigation menu"),
                  QStringLiteral("Random article"),
                  QStringLiteral("Harbour records"),
                  QStringLiteral("Norsk Fyrhistorie"),
                  QStringLiteral("This page was last edited"),
                  QStringLiteral("[edit]"),
                  QStringLiteral("[1]"),
                  QStringLiteral("References")};
    const QStringList& a = page.article;
    page.html =
        "<!DOCTYPE html><html><head><meta charset=\"UTF-8\"><title>Lighthouse of Vardø Point - "
        "Wikipedia</title></head><body class=\"mediawiki skin-vector\">\n"
        "<div id=\"mw-page-base\"></div><div id=\"content\" class=\"mw-body\" role=\"main\">"
        "<h1 id=\"firstHeading\" class=\"firstHeading\">" +
        utf8(page.title) +
        "</h1><div id=\"bodyContent\" class=\"vector-body\"><div id=\"siteSub\">From "
        "Wikipedia, the free encyclopedia</div><a class=\"mw-jump-link\" href=\"#mw-head\">Jump "
        "to navigation</a>\n<div class=\"mw-parser-output\"><p>" +
        utf8(a[0]).replace("Lighthouse of Vardø Point", "<b>Lighthouse of Vardø Point</b>") +
        "<sup class=\"reference\"><a href=\"#cite1\">[1]</a></sup></p>\n"
        "<div id=\"toc\" class=\"toc\" role=\"navigation\"><h2>Contents</h2><ul><li><a "
        "href=\"#History\">1 History</a></li><li><a href=\"#Architecture\">2 Architecture</a>"
        "</li><li><a href=\"#References\">3 References</a></li></ul></div>\n"
        "<h2><span class=\"mw-headline\" id=\"History\">" +
        utf8(a[1]) +
        "</span><span class=\"mw-editsection\">[<a href=\"?edit=1\">edit</a>]</span></h2>\n"
        "<p>" +
        utf8(a[2]) + "<sup class=\"reference\"><a href=\"#cite2\">[2]</a></sup></p>\n<p>" +
        utf8(a[3]) + "</p>\n<h2><span class=\"mw-headline\" id=\"Architecture\">" + utf8(a[4]) +
        "</span><span class=\"mw-editsection\">[<a href=\"?edit=2\">edit</a>]</span></h2>\n"
        "<p>" +
        utf8(a[5]) +
        "</p>\n<h2><span class=\"mw-headline\" id=\"References\">References</span></h2>\n"
        "<div class=\"reflist\"><ol class=\"references\"><li id=\"cite1\"><a "
        "href=\"#r1\">^</a> <cite>Harbour records, vol. 3, p. 41.</cite></li><li id=\"cite2\">"
        "<a href=\"#r2\">^</a> <cite><a href=\"https://example.org\">Norsk Fyrhistorie</a>, "
        "2002.</cite></li></ol></div>\n</div></div></div>\n"
        "<div id=\"mw-navigation\"><h2>Navigation menu</h2><div id=\"p-navigation\" "
        "class=\"vector-menu\"><ul><li><a href=\"/Main\">Main page</a></li><li><a "
        "href=\"/Random\">Random article</a></li></ul></div></div>\n"
        "<div id=\"footer\" role=\"contentinfo\"><ul><li>This page was last edited on 3 May "
        "2023, at 10:12.</li><li>Text is available under a free licence; additional terms may "
        "apply.</li></ul></div></body></html>\n";
    return page;
}

ArticlePage forumThreadPage() {
    ArticlePage page;
    page.title = QStringLiteral("Boiler makes a knocking noise at night - Home Repair Forum");
    page.article = {
        QStringLiteral("Since the cold weather started, our gas boiler knocks loudly for a "
                       "minute or two, always around three in the morning. Any idea what causes "
                       "it?"),
        QStringLiteral("That sounds like kettling: limescale in the heat exchanger makes the "
                       "water boil in pockets. In a hard water area it is very common."),
        QStringLiteral("Check the pressure first, though. If it is below one bar, top it up and "
                       "see whether the noise stops, before you call anyone out."),
        QStringLiteral("Thanks, both of you. The pressure was at half a bar; after topping it "
                       "up, the boiler has been quiet for three nights."),
    };
    page.noise = {QStringLiteral("Forum index"),   QStringLiteral("Joined:"),
                  QStringLiteral("Posts:"),        QStringLiteral("Quote"),
                  QStringLiteral("Report"),        QStringLiteral("Post a reply"),
                  QStringLiteral("Who is online"), QStringLiteral("Jump to")};
    struct Post {
        const char* author;
        const char* joined;
    };
    const Post posts[] = {{"tomasz_k", "Oct 2021"},
                          {"heatingpro", "Jan 2015"},
                          {"anna.b", "Jun 2019"},
                          {"tomasz_k", "Oct 2021"}};
    QByteArray thread;
    for (int i = 0; i < 4; ++i) {
        thread += QByteArray("<div id=\"p") + QByteArray::number(i + 1) +
                  "\" class=\"post bg2\"><div class=\"inner\"><dl class=\"postprofile\"><dt><a "
                  "href=\"/u\" class=\"username\">" +
                  posts[i].author + "</a></dt><dd>Joined: " + posts[i].joined +
                  "</dd><dd>Posts: " + QByteArray::number(40 + 17 * i) +
                  "</dd></dl><div class=\"postbody\"><h3><a href=\"#p" + QByteArray::number(i + 1) +
                  "\">Re: Boiler makes a knocking noise at night"
                  "</a></h3><ul class=\"post-buttons\"><li><a href=\"#\">Quote</a></li><li><a "
                  "href=\"#\">Report</a></li></ul><div class=\"content\">" +
                  utf8(page.article[i]) + "</div></div></div></div>\n";
    }
    page.html = "<html><head><title>Boiler makes a knocking noise at night - Home Repair "
                "Forum</title></head><body id=\"phpbb\"><div id=\"wrap\"><div class=\"headerbar\" "
                "role=\"banner\"><h1>Home Repair Forum</h1><p>Help from people who have fixed "
                "it before</p></div><div class=\"navbar\"><ul><li><a href=\"/\">Forum index"
                "</a></li><li><a href=\"/faq\">FAQ</a></li></ul></div>\n<h2 "
                "class=\"topic-title\"><a href=\"/t/77\">Boiler makes a knocking noise at night"
                "</a></h2>\n<div class=\"action-bar\"><a class=\"button\" href=\"/reply\">Post "
                "a reply</a> <div class=\"pagination\">4 posts &bull; Page 1 of 1</div></div>\n"
                "<div id=\"page-body\" class=\"topic\">" +
                thread +
                "</div>\n<div class=\"jumpbox\"><label>Jump to</label><select><option>Heating"
                "</option><option>Plumbing</option></select></div>\n<div "
                "class=\"stat-block online-list\"><h3>Who is online</h3><p>Users browsing this "
                "forum: no registered users and 3 guests</p></div></div></body></html>\n";
    return page;
}

ArticlePage listingPage() {
    ArticlePage page;
    page.title = QStringLiteral("Latest news");
    QByteArray teasers;
    const char* places[] = {"harbour", "school", "library", "station", "market"};
    const char* events[] = {"reopens after repairs", "gets a new roof", "extends its hours",
                            "faces a budget cut"};
    for (int i = 0; i < 20; ++i) {
        const QByteArray headline = QByteArray("The ") + places[i % 5] + " " + events[i % 4] +
                                    " (" + QByteArray::number(i + 1) + ")";
        const QByteArray summary = QByteArray("Story ") + QByteArray::number(i + 1) +
                                   ": the council confirmed the plan on Monday, and work will "
                                   "start within weeks, officials said.";
        teasers += "<article class=\"teaser\"><a href=\"/s/" + QByteArray::number(i) +
                   "\"><img src=\"t.jpg\" alt=\"\"></a><h2 class=\"teaser-title\"><a href=\"/s/" +
                   QByteArray::number(i) + "\">" + headline + "</a></h2><p>" + summary +
                   "</p></article>\n";
        page.article.append(QString::fromUtf8(headline));
        page.article.append(QString::fromUtf8(summary));
    }
    page.html = "<html><head><title>Latest news | The Harbour Gazette</title></head><body>"
                "<header><a href=\"/\">The Harbour Gazette</a><nav><a href=\"/world\">World</a> "
                "<a href=\"/sport\">Sport</a></nav></header><main><h1>Latest news</h1>"
                "<section class=\"story-list\">" +
                teasers +
                "</section><nav class=\"pagination\"><a href=\"?page=2\">Older stories</a></nav>"
                "</main><footer><a href=\"/about\">About us</a></footer></body></html>\n";
    return page;
}

ArticlePage shortPage() {
    ArticlePage page;
    page.title = QStringLiteral("Opening hours");
    page.article = {QStringLiteral("Opening hours"),
                    QStringLiteral("The shop is open from nine to six on weekdays, and from ten "
                                   "to two on Saturdays.")};
    page.html = "<html><head><title>Opening hours</title></head><body><nav><a href=\"/\">Home"
                "</a></nav><h1>Opening hours</h1><p>" +
                utf8(page.article[1]) + "</p></body></html>\n";
    return page;
}

} // namespace vt::test
