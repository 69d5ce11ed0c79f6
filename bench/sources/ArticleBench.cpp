// Article extraction against the whole-page text: both sides decode, parse and
// render the same page; the article side also weighs the page's elements and
// renders only the article. Medians of alternated runs, in this thread's
// processor time (the machine may be shared).

#include "SamplePage.h"
#include "sources/reader/PageText.h"
#include "support/html/HtmlText.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {

double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Side {
    const char* name;
    std::function<qsizetype()> work; // returns the text's length
    std::vector<double> seconds;
    qsizetype length = 0;
};

void compare(const char* pageName, const QByteArray& page, int runs) {
    std::vector<Side> sides = {
        {"whole page text (today's path)", [&] { return vt::renderedText(page).size(); }, {}},
        {"article only",
         [&] {
             return vt::pageTextsOfHtml(page, QString(), vt::PageTextMode::ArticleOnly).text.size();
         },
         {}},
        {"whole page text and title",
         [&] {
             return vt::pageTextsOfHtml(page, QString(), vt::PageTextMode::WholePage).text.size();
         },
         {}},
    };
    for (int run = 0; run < runs; ++run) {
        for (std::size_t k = 0; k < sides.size(); ++k) {
            // Alternate the order so neither side always runs on a warm cache.
            Side& side = sides[(k + static_cast<std::size_t>(run)) % sides.size()];
            const double start = threadCpuSeconds();
            side.length = side.work();
            side.seconds.push_back(threadCpuSeconds() - start);
        }
    }
    const double mb = static_cast<double>(page.size()) / (1024.0 * 1024.0);
    std::printf("%s, %.2f MB, median of %d alternated runs (cpu time)\n", pageName, mb, runs);
    const double base = median(sides[0].seconds);
    for (const Side& side : sides) {
        const double t = median(side.seconds);
        std::printf("  %-32s %8.4f s  %6.1f MB/s  x%.3f  (%lld chars)\n", side.name, t, mb / t,
                    t / base, static_cast<long long>(side.length));
    }
    const double ratio = median(sides[1].seconds) / base;
    std::printf("  goal, article extraction at most 20%% on top: %s (+%.1f%%)\n",
                ratio <= 1.20 ? "met" : "NOT met", (ratio - 1.0) * 100.0);
}

// Inputs that must stay roughly linear in article mode too, beside the
// whole-page text of the same input.
void adversarial(const char* name, const QByteArray& html) {
    double start = threadCpuSeconds();
    const qsizetype wholeLength = vt::renderedText(html).size();
    const double whole = threadCpuSeconds() - start;
    start = threadCpuSeconds();
    const qsizetype length =
        vt::pageTextsOfHtml(html, QString(), vt::PageTextMode::ArticleOnly).text.size();
    const double article = threadCpuSeconds() - start;
    std::printf("  %-34s %5.2f MB  whole page %6.3f s  article only %6.3f s  (%lld / %lld chars)\n",
                name, static_cast<double>(html.size()) / (1024.0 * 1024.0), whole, article,
                static_cast<long long>(wholeLength), static_cast<long long>(length));
}

} // namespace

// Arguments: runs (11), size of the large page in MB (8).
int main(int argc, char** argv) {
    int runs = argc > 1 ? QByteArray(argv[1]).toInt() : 11;
    runs = runs % 2 == 0 ? runs + 1 : runs; // a median of an odd count
    const qsizetype large = (argc > 2 ? QByteArray(argv[2]).toLongLong() : 8) * 1024 * 1024;
    compare("News article page", vt::bench::sampleArticlePage(400 * 1024), runs);
    compare("Large news article page", vt::bench::sampleArticlePage(large), runs);
    compare("Front page of many full stories", vt::bench::samplePage(large), runs);
    std::printf("Adversarial inputs, article only\n");
    QByteArray nested;
    for (int i = 0; i < 40000; ++i) {
        nested += "<div class=\"menu\"><h1>t</h1><p>Some words, and more words.</p>";
    }
    adversarial("40,000 nested blocks with headings", nested);
    adversarial("400,000 nested <div>", QByteArray("<div>").repeated(400000) + "x");
    adversarial("2 MB of unclosed <span>w", QByteArray("<span>w").repeated(300000));
    adversarial("2 MB of <h2><a>",
                QByteArray("<h2><a href=/x>t</a></h2><p>w.</p>").repeated(60000));
    // A listing makes the finder try the next candidates: the story beside the
    // teasers, once at this size and once at twice it.
    for (const int teasers : {20000, 40000}) {
        QByteArray listing =
            "<main><article><p>" +
            QByteArray("A story of plain prose, with commas, to read. ").repeated(40) +
            "</p></article><div>";
        for (int i = 0; i < teasers; ++i) {
            listing += "<div><h3><a href=/s>Headline</a></h3><p>A line, of summary.</p></div>";
        }
        listing += "</div></main>";
        adversarial(teasers == 20000 ? "20,000 teasers beside a story"
                                     : "40,000 teasers beside a story",
                    listing);
    }
    return 0;
}
