// HTML to text throughput: the whole page-text path (encoding sniffing,
// nesting guard, parsing, rendered-text walk) against parsing alone with gumbo,
// on a large generated page; then the adversarial inputs, which must stay
// roughly linear.

#include "SamplePage.h"
#include "SampleStyleSheet.h"
#include "core/Failure.h"
#include "support/html/HtmlText.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <gumbo.h>
#include <vector>

namespace {

double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

struct Timing {
    double wall = 1e30; // seconds, best run
    double cpu = 1e30;  // this thread's processor time, best run
};

// Best of several runs. The machine may be shared, so processor time is
// reported beside wall time: it does not count waiting for a core.
// cleanup runs after each timed run, untimed.
Timing bestTime(
    int runs, const std::function<void()>& work, const std::function<void()>& cleanup = [] {}) {
    Timing best;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        const double cpuStart = threadCpuSeconds();
        timer.start();
        work();
        best.wall = std::min(best.wall, static_cast<double>(timer.nsecsElapsed()) / 1e9);
        best.cpu = std::min(best.cpu, threadCpuSeconds() - cpuStart);
        cleanup();
    }
    return best;
}

double megabytes(qsizetype bytes) {
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

// Parsing alone, as gumbo does it by default; freeing the tree is not timed.
Timing gumboParseOnly(const QByteArray& html, int maxErrors, int runs) {
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = maxErrors;
    GumboOutput* output = nullptr;
    return bestTime(
        runs,
        [&] {
            output = gumbo_parse_with_options(&options, html.constData(),
                                              static_cast<std::size_t>(html.size()));
        },
        [&] { gumbo_destroy_output(&options, output); });
}

void adversarial(const char* name, const QByteArray& html) {
    qsizetype length = 0;
    const char* refused = nullptr;
    const Timing t = bestTime(1, [&] {
        try {
            length = vt::renderedTextOfUtf8(html).size();
        } catch (const vt::Failure&) {
            refused = "refused: beyond the memory limit"; // also an end, in bounded time
        }
    });
    if (refused) {
        std::printf("  %-34s %6.2f MB  wall %7.3f s  cpu %7.3f s  (%s)\n", name,
                    megabytes(html.size()), t.wall, t.cpu, refused);
        return;
    }
    std::printf("  %-34s %6.2f MB  wall %7.3f s  cpu %7.3f s  %7.1f MB/s cpu  (%lld chars)\n", name,
                megabytes(html.size()), t.wall, t.cpu, megabytes(html.size()) / t.cpu,
                static_cast<long long>(length));
}

QByteArray repeated(const QByteArray& piece, qsizetype bytes) {
    return piece.repeated(bytes / piece.size() + 1);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The same page with and without its style sheet, alternated with gumbo's
// parse alone of each, medians of the processor time of each.
void styleSheetThroughput(const QByteArray& page, int rules, int runs) {
    const QByteArray styled = vt::bench::withStyleSheet(page, vt::bench::sampleStyleSheet(rules));
    std::vector<double> plain;
    std::vector<double> withSheet;
    std::vector<double> parsePlain;
    std::vector<double> parseStyled;
    qsizetype plainLength = 0;
    qsizetype styledLength = 0;
    for (int i = 0; i < runs; ++i) {
        plain.push_back(bestTime(1, [&] { plainLength = vt::renderedText(page, "").size(); }).cpu);
        parsePlain.push_back(gumboParseOnly(page, -1, 1).cpu);
        withSheet.push_back(
            bestTime(1, [&] { styledLength = vt::renderedText(styled, "").size(); }).cpu);
        parseStyled.push_back(gumboParseOnly(styled, -1, 1).cpu);
    }
    const double plainMb = megabytes(page.size()) / median(plain);
    const double styledMb = megabytes(styled.size()) / median(withSheet);
    std::printf("Style sheet of %d rules (%.2f MB page with it), medians of %d alternated runs\n",
                rules, megabytes(styled.size()), runs);
    std::printf("  without the sheet  cpu %6.3f s %6.1f MB/s  (%lld chars)\n", median(plain),
                plainMb, static_cast<long long>(plainLength));
    std::printf("  with the sheet     cpu %6.3f s %6.1f MB/s  (%lld chars)\n", median(withSheet),
                styledMb, static_cast<long long>(styledLength));
    const double ratioPlain = median(plain) / median(parsePlain);
    const double ratioStyled = median(withSheet) / median(parseStyled);
    std::printf("  gumbo parse alone  cpu %6.3f s without, %6.3f s with the sheet\n",
                median(parsePlain), median(parseStyled));
    std::printf("  ratio renderedText / gumbo parse alone: %.2f without, %.2f with the sheet; "
                "goal at most 1.25: %s\n",
                ratioPlain, ratioStyled,
                ratioPlain <= 1.25 && ratioStyled <= 1.25 ? "met" : "NOT met");
    std::printf("  goal, at least 20 MB/s with a realistic sheet: %s\n",
                styledMb >= 20.0 ? "met" : "NOT met");
}

void manyRules(int rules, int elements, int runs) {
    const QByteArray page = vt::bench::manyRulesPage(rules, elements);
    std::vector<double> cpu;
    std::vector<double> wall;
    qsizetype length = 0;
    for (int i = 0; i < runs; ++i) {
        const Timing t = bestTime(1, [&] { length = vt::renderedTextOfUtf8(page).size(); });
        cpu.push_back(t.cpu);
        wall.push_back(t.wall);
    }
    std::printf("%d rules and %d elements (%.2f MB), median of %d runs: wall %.3f s, cpu %.3f s "
                "(%lld chars); goal under 1 s: %s\n",
                rules, elements, megabytes(page.size()), runs, median(wall), median(cpu),
                static_cast<long long>(length), median(cpu) < 1.0 ? "met" : "NOT met");
}

} // namespace

// Arguments: page size in MB (8), runs (5), share of script bytes (0.3), and
// "quick" to leave out the adversarial inputs.
int main(int argc, char** argv) {
    const qsizetype size =
        argc > 1 ? QByteArray(argv[1]).toLongLong() * 1024 * 1024 : 8 * 1024 * 1024;
    const int runs = argc > 2 ? QByteArray(argv[2]).toInt() : 5;
    const double scriptShare = argc > 3 ? QByteArray(argv[3]).toDouble() : 0.3;
    const QByteArray page = vt::bench::samplePage(size, scriptShare);
    const double mb = megabytes(page.size());

    qsizetype textLength = 0;
    const Timing full = bestTime(runs, [&] { textLength = vt::renderedText(page, "").size(); });
    const Timing parseDefault = gumboParseOnly(page, -1, runs);
    const Timing parseNoErrors = gumboParseOnly(page, 0, runs);

    std::printf("HTML to text, generated page of %.2f MB (%lld chars of text, about %.0f%% of "
                "the bytes in scripts), best of %d runs\n",
                mb, static_cast<long long>(textLength), scriptShare * 100.0, runs);
    const auto line = [mb](const char* what, const Timing& t) {
        std::printf("  %-40s wall %6.3f s %6.1f MB/s   cpu %6.3f s %6.1f MB/s\n", what, t.wall,
                    mb / t.wall, t.cpu, mb / t.cpu);
    };
    line("renderedText (sniff, decode, parse, walk)", full);
    line("gumbo parse alone, default options", parseDefault);
    line("gumbo parse alone, max_errors 0", parseNoErrors);
    std::printf("  ratio renderedText / gumbo parse alone: %.2f (cpu time)\n",
                full.cpu / parseDefault.cpu);
    std::printf("  goal, at least 30 MB/s overall: %s (cpu %.1f MB/s, wall %.1f MB/s)\n",
                mb / full.cpu >= 30.0 ? "met" : "NOT met", mb / full.cpu, mb / full.wall);

    styleSheetThroughput(page, 3000, runs | 1);
    manyRules(5000, 50000, runs | 1);

    if (argc > 4 && QByteArray(argv[4]) == "quick") {
        return 0;
    }
    std::printf("Adversarial inputs (renderedText)\n");
    adversarial("240 KB of unclosed <span>", repeated("<span>", 240 * 1024));
    adversarial("2 MB of unclosed <span>w", repeated("<span>w", 2 * 1024 * 1024));
    QByteArray nested;
    for (int i = 0; i < 40000; ++i) {
        nested += "<div>";
    }
    adversarial("40,000 nested <div>", nested + "x");
    adversarial("400,000 nested <div>", nested.repeated(10) + "x");
    adversarial("6 MB of unclosed <b>x", repeated("<b>x", 6 * 1024 * 1024));
    adversarial("2 MB of <table><tr><td>", repeated("<table><tr><td>x", 2 * 1024 * 1024));
    adversarial("2 MB of unclosed <a><p><i>", repeated("<a href=x><p><i>t", 2 * 1024 * 1024));
    const auto styled = [](const QByteArray& css) {
        return "<style>" + css + "</style><p class=\"a\">text</p>";
    };
    adversarial("CSS: 100,000 rules",
                styled(repeated(".a .b > c[d~=\"e\"]{display:none}", 3400000)));
    adversarial("CSS: 1 MB selector", styled(repeated(".a ", 1024 * 1024) + "{display:none}"));
    adversarial("CSS: 100,000 nested @media", styled(repeated("@media screen{", 1500000)));
    adversarial("CSS: 1 MB unterminated comment", styled("p{}/*" + repeated("x", 1024 * 1024)));
    adversarial("CSS: 1 MB unterminated string", styled("p{content:\"" + repeated("x", 1 << 20)));
    adversarial("CSS: 1 MB of open blocks", styled(repeated("a{b{[(", 1024 * 1024)));
    adversarial("CSS: 1 MB of :is(:not(", styled(repeated(":is(:not(", 1024 * 1024) + "{}"));
    adversarial("CSS: 1 MB of invalid UTF-8", styled(repeated("\xFF\xC3.\xE2{", 1024 * 1024)));
    adversarial("CSS: unterminated <![CDATA[ of 1 MB",
                styled("<![CDATA[" + repeated(".a{display:none} .b > c{x:y}\n", 1024 * 1024)));
    adversarial("CSS: 100,000 nested [", styled(repeated("[", 100000) + "p{display:none}"));
    adversarial("CSS: 1 MB of bad tokens",
                styled(repeated("url(a\"b) \"x\n} ]) <!-- --> @x; #{ \\\n 1e url( ", 1024 * 1024)));
    return 0;
}
