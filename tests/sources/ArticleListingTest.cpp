// Pages with linked headlines that are articles all the same: the teasers are
// beside the story, inside a related box, or lead to other sites' shops.
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

void expectArticleOf(const QByteArray& html, const QStringList& article, const QStringList& noise) {
    const PageTexts texts = articleTextsOf(html);
    EXPECT_TRUE(texts.article);
    expectPassagesInOrder(texts.text, article);
    expectPassagesAbsent(texts.text, noise);
    const QString whole = vt::renderedText(html);
    for (const QString& passage : noise) {
        EXPECT_TRUE(whole.contains(passage)) << passage.toStdString();
    }
}

const QStringList& strikeStory() {
    static const QStringList story = {
        QStringLiteral("Train drivers on the northern lines will walk out for two days next "
                       "week, after talks over pay and rest hours broke down on Monday evening "
                       "without a new date being set."),
        QStringLiteral("The union said its members had turned down an offer of three per cent, "
                       "spread over two years, because it came with longer shifts on the night "
                       "freight services and fewer drivers on each roster."),
        QStringLiteral("The operator called the strike disappointing and said it would run a "
                       "reduced timetable, with about one train in three on the main line and "
                       "buses replacing trains on the two branch lines."),
        QStringLiteral("Commuters in the valley towns, where the railway is the only quick way "
                       "into the city, were told to work from home if they could, or to leave "
                       "an hour earlier than usual."),
        QStringLiteral("Schools on the coast said pupils who travel by train would not be marked "
                       "absent on either day, and exams planned for Thursday would be moved to "
                       "the following week."),
        QStringLiteral("It is the third strike on the northern lines this year. The last one, in "
                       "March, closed the central station for a day and cost shops in the "
                       "centre, by their own count, a quarter of their usual takings."),
        QStringLiteral("Both sides said they were ready to talk again. The mediation service "
                       "offered to host the meeting, and a spokesman for the transport ministry "
                       "urged them to take up the offer before the weekend."),
        QStringLiteral("Season ticket holders can claim a refund for the two days on the "
                       "operator's website, from the Monday after the strike."),
    };
    return story;
}

// A story with a stream of recommended stories beside it, as news sites add
// below or beside the article, each a linked headline and a line of summary.
TEST(ArticleListing, StoryBesideARecommendationStreamIsReadAlone) {
    const QStringList headlines = {
        "Ferry prices to rise in the summer",   "New cycle path opens along the river",
        "Harbour market gets a roof at last",   "Ten walks for a rainy weekend",
        "City council delays the budget vote",  "Old cinema to reopen as a concert hall",
        "Airport adds two routes to the south", "The bakery that never closes",
        "Football club names its new coach",    "Water bills to fall for most homes",
    };
    QByteArray stream;
    for (int i = 0; i < headlines.size(); ++i) {
        stream += "<div class=\"card\"><a href=\"/news/story-" + QByteArray::number(i) +
                  "\"><img src=\"t" + QByteArray::number(i) +
                  ".jpg\" alt=\"\"></a><h3><a href="
                  "\"https://www.dailycourier.example/news/story-" +
                  QByteArray::number(i) + "\">" + headlines[i].toUtf8() +
                  "</a></h3><p>What it means for you, with the figures, the reactions and what "
                  "happens next, from our reporters.</p></div>\n";
    }
    const QByteArray html =
        "<!DOCTYPE html><html><head><title>Train drivers to strike for two days | Daily "
        "Courier</title><link rel=\"canonical\" href=\"https://www.dailycourier.example/news/"
        "rail-strike\"></head><body><header><a href=\"/\">Daily Courier</a><nav><a href=\"/news"
        "\">News</a> <a href=\"/sport\">Sport</a> <a href=\"/weather\">Weather</a></nav></header>"
        "\n<main class=\"page\"><div class=\"columns\"><article class=\"story\"><h1>Train "
        "drivers to strike for two days</h1><p class=\"byline\">By Tom Reyes</p>\n" +
        paragraphs(strikeStory()) +
        "</article>\n<div class=\"stream\"><h2>Recommended for you"
        "</h2>\n" +
        stream +
        "</div></div></main><footer><a href=\"/about\">About us</a> <a "
        "href=\"/privacy\">Privacy</a></footer></body></html>\n";
    QStringList article = strikeStory();
    article.prepend(QStringLiteral("Train drivers to strike for two days"));
    expectArticleOf(html, article,
                    {QStringLiteral("Recommended for you"), headlines[0], headlines[9],
                     QStringLiteral("from our reporters")});
}

// A blog post with a box of related posts in the middle of its text.
TEST(ArticleListing, LinkedHeadingsInARelatedBoxDoNotMakeAListing) {
    const QStringList post = {
        QStringLiteral("Last spring I finally built the raised beds I had been drawing for "
                       "three years, and this is what I learned, mostly the hard way."),
        QStringLiteral("Untreated larch lasts longer than pine and does not need paint. Mine "
                       "cost a little more, but the wood will outlive the soil in it."),
        QStringLiteral("Fill the bottom third with branches and old leaves, then compost, then "
                       "a good layer of topsoil, so you need far less bought earth."),
        QStringLiteral("Keep each bed narrow enough to reach the middle from either side. Mine "
                       "are a metre and twenty wide, and that is the most I would go."),
        QStringLiteral("Next year I will add a net against the birds, who ate every single "
                       "strawberry the week before they were ripe."),
    };
    const QByteArray html =
        "<html><head><title>Raised beds: what I learned</title></head><body><div id=\"page\">"
        "<header class=\"site\"><a href=\"/\">The Allotment Diary</a></header><article "
        "class=\"post\"><h1>Raised beds: what I learned</h1><div class=\"entry-content\">" +
        paragraphs(post.mid(0, 3)) +
        "<div class=\"related-posts\"><h3>You might also like</h3><h4><a href=\"/2023/compost"
        "\">Compost in a small garden</a></h4><h4><a href=\"/2023/seeds\">Saving your own seeds"
        "</a></h4><h4><a href=\"/2022/shed\">The shed, one year on</a></h4><h4><a href=\"/2022/"
        "tools\">Five tools I use every day</a></h4></div>\n" +
        paragraphs(post.mid(3)) +
        "</div></article></div><div class=\"site-footer\">The Allotment Diary</div></body>"
        "</html>\n";
    expectArticleOf(
        html, post,
        {QStringLiteral("You might also like"), QStringLiteral("Saving your own seeds")});
}

// A buyer's guide: each product's heading links to a shop on another site.
TEST(ArticleListing, ListicleWhoseHeadingsLinkToShopsIsAnArticle) {
    const QStringList products = {"Northway Trail Shell", "Peakline Storm 2", "Brae Lightweight",
                                  "Cairn Pro Jacket",     "Tarn Packable",    "Fellside Classic"};
    const QString verdict = QStringLiteral(
        " kept us dry through a full day of rain on the hills, with a hood that stays put "
        "in the wind and pockets you can reach with a rucksack on. It is not the lightest, "
        "but it is the one we would buy again.");
    QStringList article = {QStringLiteral(
        "We walked more than two hundred kilometres in wet weather this autumn to test twenty "
        "rain jackets. These six are the ones we would spend our own money on, from the best "
        "overall to the best for little money.")};
    QByteArray items;
    for (int i = 0; i < products.size(); ++i) {
        const QString name = QString::number(i + 1) + QStringLiteral(". ") + products[i];
        items += "<h2><a href=\"https://www.bigshop.example/dp/B0" + QByteArray::number(i) +
                 "?tag=guide-21\" rel=\"sponsored nofollow\">" + name.toUtf8() +
                 "</a></h2>\n<p>The " + products[i].toUtf8() + verdict.toUtf8() + "</p>\n";
        article << name << QStringLiteral("The ") + products[i] + verdict;
    }
    const QByteArray html =
        "<html><head><title>The 6 best rain jackets for walkers</title><link rel=\"canonical\" "
        "href=\"https://outdoorguide.example/best-rain-jackets\"></head><body><header><a "
        "href=\"/\">Outdoor Guide</a><nav><a href=\"/reviews\">Reviews</a> <a href=\"/routes\">"
        "Routes</a></nav></header><main><article><h1>The 6 best rain jackets for walkers</h1>"
        "<p>" +
        article[0].toUtf8() + "</p>\n" + items +
        "</article></main><footer><a href=\"/about\">About</a> <a href=\"/contact\">Contact"
        "</a></footer></body></html>\n";
    expectArticleOf(html, article, {QStringLiteral("Routes"), QStringLiteral("Contact")});
}

} // namespace
