#include "ArticlePages.h"

namespace vt::test {

namespace {

QByteArray utf8(const QString& text) {
    return text.toUtf8();
}

// A site's header with its menu, as most news and blog sites have it.
QByteArray siteHeader(const char* site) {
    return QByteArray("<header class=\"site-header\"><a class=\"logo\" href=\"/\">") + site +
           "</a><nav class=\"main-nav\"><ul><li><a href=\"/world\">World</a></li>"
           "<li><a href=\"/business\">Business</a></li><li><a href=\"/science\">Science</a></li>"
           "<li><a href=\"/sport\">Sport</a></li><li><a href=\"/culture\">Culture</a></li>"
           "<li><a href=\"/opinion\">Opinion</a></li></ul></nav>"
           "<form class=\"search\" action=\"/search\"><input type=\"search\" name=\"q\">"
           "<button>Search</button></form></header>\n";
}

QByteArray siteFooter() {
    return "<footer class=\"site-footer\"><ul><li><a href=\"/about\">About us</a></li>"
           "<li><a href=\"/contact\">Contact</a></li><li><a href=\"/privacy\">Privacy policy"
           "</a></li><li><a href=\"/terms\">Terms of use</a></li></ul><p>Copyright 2024 The "
           "Harbour Gazette Ltd. All rights reserved, including the right to reproduce this "
           "material in any form.</p></footer>\n"
           "<div id=\"cookie-notice\" class=\"cookie-banner\"><p>We use cookies to improve your "
           "experience, to measure traffic, and to show you relevant offers from partners.</p>"
           "<button>Accept all</button><button>Manage choices</button></div>\n";
}

QByteArray paragraphs(const QStringList& texts) {
    QByteArray html;
    for (const QString& text : texts) {
        html += "<p>" + utf8(text) + "</p>\n";
    }
    return html;
}

} // namespace

ArticlePage newsArticlePage() {
    ArticlePage page;
    page.title = QStringLiteral("Storm closes the harbour for the first time in forty years");
    page.article = {
        QStringLiteral("The harbour authority closed the port on Tuesday evening, as winds of "
                       "more than 120 kilometres an hour pushed waves over the northern wall."),
        QStringLiteral("Fishing boats, ferries and two container ships were told to stay at "
                       "anchor in the bay, where the water was calmer, until the storm passed."),
        QStringLiteral("The last full closure, in the winter of 1984, lasted three days and "
                       "cost the town's fish market most of a season, older traders recalled."),
        QStringLiteral("Engineers will inspect the wall on Thursday. If the damage is serious, "
                       "the authority said, repairs could take until the spring."),
        QStringLiteral("Residents of the lower town were asked to keep away from the "
                       "promenade, which was closed to cars and walkers alike."),
        QStringLiteral("A crane was blown over at the shipyard, but nobody was hurt."),
    };
    page.noise = {QStringLiteral("Business"),
                  QStringLiteral("Opinion"),
                  QStringLiteral("Most read"),
                  QStringLiteral("Council votes on new bus lanes"),
                  QStringLiteral("Share on Facebook"),
                  QStringLiteral("Related stories"),
                  QStringLiteral("Tide tables for the coming week"),
                  QStringLiteral("Leave a comment"),
                  QStringLiteral("Your email address"),
                  QStringLiteral("Privacy policy"),
                  QStringLiteral("We use cookies"),
                  QStringLiteral("Subscribe to our morning newsletter"),
                  QStringLiteral("Advertisement"),
                  QStringLiteral("Get the Gazette delivered")};
    const QStringList& a = page.article;
    page.html =
        "<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\">"
        "<title>Storm closes the harbour for the first time in forty years | The Harbour "
        "Gazette</title><meta property=\"og:title\" content=\"Storm closes the harbour\">"
        "<script>window.dataLayer = [];</script><style>.ad{min-height:250px}</style></head>\n"
        "<body class=\"article-page has-sidebar\">\n" +
        siteHeader("The Harbour Gazette") +
        "<div class=\"layout\"><main id=\"main\">"
        "<nav class=\"breadcrumb\"><a href=\"/\">Home</a> &rsaquo; <a href=\"/local\">Local"
        "</a></nav>\n"
        "<article class=\"story\"><header><span class=\"kicker\">Weather</span>"
        "<h1 class=\"headline\">" +
        utf8(page.title) +
        "</h1><p class=\"byline\">By Mara Lindqvist, Harbour correspondent</p>"
        "<time datetime=\"2024-03-05\">5 March 2024</time></header>\n"
        "<div class=\"share-bar\"><a href=\"#\">Share on Facebook</a> <a href=\"#\">Share on X"
        "</a> <a href=\"#\">Email</a></div>\n"
        "<div class=\"story-body\">" +
        paragraphs({a[0], a[1]}) +
        "<figure><img src=\"wall.jpg\" alt=\"\"><figcaption>Waves break over the northern "
        "wall on Tuesday.</figcaption></figure>\n"
        "<div class=\"ad ad-slot\"><span>Advertisement</span></div>\n" +
        paragraphs({a[2], a[3]}) +
        "<aside class=\"inline-related\"><h3>Read more</h3><ul><li><a href=\"/a\">Tide tables "
        "for the coming week</a></li><li><a href=\"/b\">How the harbour wall was built</a></li>"
        "</ul></aside>\n" +
        paragraphs({a[4], a[5]}) +
        "</div>\n<div class=\"newsletter-signup\"><h3>Subscribe to our morning newsletter</h3>"
        "<form><input type=\"email\" placeholder=\"Your email\"><button>Sign up</button></form>"
        "</div>\n</article>\n"
        "<section class=\"related-stories\"><h2>Related stories</h2><ul>"
        "<li><a href=\"/1\"><h3>Council votes on new bus lanes</h3></a><p>The plan would take "
        "two lanes of the ring road, to the anger of the drivers' club.</p></li>"
        "<li><a href=\"/2\"><h3>Ferry timetable changes in April</h3></a><p>Fewer sailings on "
        "Sundays, more in the evening, the operator says.</p></li></ul></section>\n"
        "<section id=\"comments\" class=\"comments\"><h2>Leave a comment</h2>"
        "<form action=\"/comment\"><label>Name <input name=\"name\"></label>"
        "<label>Your email address <input name=\"email\"></label>"
        "<textarea name=\"text\"></textarea><button>Post comment</button></form>"
        "<div class=\"comment\"><p>I remember the 1984 storm well, we had water in the cellar "
        "for a week and the whole street helped to pump it out.</p></div></section>\n"
        "</main>\n<aside class=\"sidebar\"><h2>Most read</h2><ol><li><a href=\"/m1\">Mayor "
        "opens the new library</a></li><li><a href=\"/m2\">Five walks along the coast</a></li>"
        "<li><a href=\"/m3\">School meals to get cheaper</a></li></ol><div class=\"promo\"><p>"
        "Get the Gazette delivered: your first month is free, and you can cancel at any time, "
        "online or by phone.</p></div></aside></div>\n" +
        siteFooter() + "</body></html>\n";
    // The caption belongs to the article too.
    page.article.insert(2, QStringLiteral("Waves break over the northern wall on Tuesday."));
    return page;
}

ArticlePage blogPostPage() {
    ArticlePage page;
    page.title = QStringLiteral("Why I still bake bread by hand");
    page.article = {
        QStringLiteral("Every Saturday morning, before anyone else is awake, I weigh out flour, "
                       "water and salt, and start the dough that will be our bread for the week."),
        QStringLiteral("A machine would do it faster, of course. But kneading is the one part of "
                       "the week when my hands are busy and my head is quiet."),
        QStringLiteral("The recipe is simple: five hundred grams of flour, three hundred and "
                       "fifty of water, ten of salt, and a spoonful of the starter."),
        QStringLiteral("If you want to try it, start with a smaller loaf, and do not worry when "
                       "the first one comes out flat. Mine did, too."),
    };
    page.noise = {QStringLiteral("Tweet"),
                  QStringLiteral("Pin it"),
                  QStringLiteral("Archives"),
                  QStringLiteral("About me"),
                  QStringLiteral("You might also like"),
                  QStringLiteral("Posted in"),
                  QStringLiteral("Powered by")};
    const QStringList& a = page.article;
    page.html =
        "<html><head><title>Why I still bake bread by hand &ndash; Flour and Time</title></head>"
        "<body class=\"single single-post\">\n<div id=\"page\"><div id=\"masthead\" "
        "class=\"site-branding\"><p class=\"site-title\"><a href=\"/\">Flour and Time</a></p>"
        "<p class=\"site-description\">A small blog about bread, patience and kitchens."
        "</p></div>\n<div id=\"primary\" class=\"content-area\"><div class=\"post-123 post "
        "type-post\">\n<h1 class=\"entry-title\">" +
        utf8(page.title) +
        "</h1>\n<div class=\"entry-meta\"><span class=\"posted-on\">March 2, 2024</span> "
        "<span class=\"author\">by Ines</span></div>\n<div class=\"entry-content\">\n" +
        paragraphs({a[0], a[1]}) + "<blockquote><p>" + utf8(a[2]) + "</p></blockquote>\n" +
        paragraphs({a[3]}) +
        "<div class=\"sharedaddy sd-sharing\"><h3>Share this:</h3><ul><li><a href=\"#\">Tweet"
        "</a></li><li><a href=\"#\">Pin it</a></li><li><a href=\"#\">Email</a></li></ul></div>"
        "\n<div class=\"jp-relatedposts\"><h3>You might also like</h3><p><a href=\"/x\">Ten "
        "mistakes with sourdough</a></p></div>\n</div>\n<footer class=\"entry-footer\">Posted in "
        "<a href=\"/c/bread\">Bread</a>, <a href=\"/c/life\">Life</a></footer>\n</div></div>\n"
        "<div id=\"secondary\" class=\"widget-area\"><section class=\"widget\"><h2>About me</h2>"
        "<p>I am a teacher who bakes, or perhaps a baker who teaches; either way, welcome, and "
        "thank you for reading.</p></section><section class=\"widget\"><h2>Archives</h2><ul>"
        "<li><a href=\"/2024/02\">February 2024</a></li><li><a href=\"/2024/01\">January 2024"
        "</a></li></ul></section></div>\n<footer id=\"colophon\">Powered by a small server in "
        "the cupboard.</footer></div></body></html>\n";
    return page;
}

ArticlePage documentationPage() {
    ArticlePage page;
    page.title = QStringLiteral("Configuring the cache");
    page.article = {
        QStringLiteral("The cache keeps compiled results on disk, so that a second build of the "
                       "same sources takes seconds instead of minutes."),
        QStringLiteral("Choosing a size"),
        QStringLiteral("Set max_size in the configuration file. The default, five gigabytes, is "
                       "enough for most projects; very large ones may need twenty."),
        QStringLiteral("A larger cache keeps results for longer, across branches and older "
                       "commits; a smaller one is cleaned more often, and builds after a "
                       "switch of branch take longer."),
        QStringLiteral("max_size = 20G"),
        QStringLiteral("Cleaning up"),
        QStringLiteral("Old entries are removed automatically when the cache is full. To empty "
                       "it by hand, run the clear command, which asks before it deletes."),
        QStringLiteral("Run it only when no build is running."),
    };
    page.noise = {QStringLiteral("Getting started"),        QStringLiteral("Installation"),
                  QStringLiteral("Edit this page"),         QStringLiteral("Next: Remote storage"),
                  QStringLiteral("Was this page helpful?"), QStringLiteral("On this page")};
    const QStringList& a = page.article;
    page.html =
        "<html><head><title>Configuring the cache - Builder documentation</title></head><body>"
        "\n<div class=\"wy-grid\"><nav class=\"wy-nav-side\"><div class=\"toctree\"><p>"
        "Contents</p><ul><li><a href=\"start.html\">Getting started</a></li><li><a "
        "href=\"install.html\">Installation</a></li><li><a href=\"cache.html\">Configuring the "
        "cache</a></li><li><a href=\"remote.html\">Remote storage</a></li></ul></div></nav>\n"
        "<section class=\"wy-nav-content-wrap\"><div class=\"wy-nav-content\"><div "
        "role=\"navigation\" aria-label=\"breadcrumbs\"><a href=\"index.html\">Docs</a> &raquo; "
        "Configuring the cache <a class=\"edit\" href=\"#\">Edit this page</a></div>\n"
        "<div class=\"document\" role=\"main\" itemprop=\"articleBody\"><div class=\"section\" "
        "id=\"configuring-the-cache\"><h1>" +
        utf8(page.title) + "</h1>\n" + paragraphs({a[0]}) +
        "<div class=\"section\" id=\"choosing-a-size\"><h2>" + utf8(a[1]) +
        "<a class=\"headerlink\" href=\"#choosing-a-size\">&para;</a></h2>\n" +
        paragraphs({a[2], a[3]}) + "<pre>" + utf8(a[4]) +
        "</pre></div>\n"
        "<div class=\"section\" id=\"cleaning-up\"><h2>" +
        utf8(a[5]) + "</h2>\n" + paragraphs({a[6]}) +
        "<div class=\"admonition note\"><p class=\"admonition-title\">"
        "Note</p><p>" +
        utf8(a[7]) +
        "</p></div></div></div></div>\n"
        "<footer><div class=\"rst-footer-buttons\"><a href=\"remote.html\">Next: Remote storage"
        "</a></div><div class=\"feedback\"><p>Was this page helpful?</p><button>Yes</button>"
        "<button>No</button></div></footer>\n<div class=\"local-toc\"><p>On this page</p><ul>"
        "<li><a href=\"#choosing-a-size\">Choosing a size</a></li><li><a href=\"#cleaning-up\">"
        "Cleaning up</a></li></ul></div></div></section></div></body></html>\n";
    return page;
}

} // namespace vt::test
