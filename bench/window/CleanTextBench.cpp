// Cleaning and splitting benchmark: CleanSpeechText and SplitByLength (pieces
// of 100,000 characters, as reading aloud cuts them) on mixed page-like text.
// Goal: at least 100 MB/s, linear in the input (the same speed at 10 and 50 MB).
//
//   clean_text_bench [large MB] [small MB]     default: 50 and 10
//
// A "MB" here is a million characters, the stricter count: the UTF-8 size of
// the same text is larger (accents and CJK take more bytes) and is shown too.
// The goal is judged on the median run; linearity on the best run of each
// size, the one least disturbed by others on the machine. Each run starts
// with the processor caches filled with other data, or the small text's 20 MB
// (UTF-16) would partly still be there from the run before, and favoured.
#include "BenchFigures.h"
#include "MixedText.h"
#include "core/files/FileUtils.h"
#include "core/TextCodec.h"
#include "speech/CleanSpeechText.h"

#include <QCoreApplication>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <malloc.h>
#include <vector>

using vt::bench::nowNs;

namespace {

constexpr qsizetype PieceLength = 100000;
constexpr int Runs = 7;
constexpr double GoalMBps = 100;
// Time per character, large over small: about 1 when linear; at five times
// the input a quadratic cost gives 5 and n log n about 1.2.
constexpr double LinearLimit = 1.5;

struct Composition {
    qsizetype ascii = 0;
    qsizetype latin = 0; // other windows-1252 characters: accents, quotes, dashes
    qsizetype other = 0; // CJK and the rest
    qsizetype utf8Bytes = 0;
};

Composition compositionOf(const QString& text) {
    Composition c;
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u < 0x80) {
            ++c.ascii;
        } else if (vt::windows1252Code(u) >= 0) {
            ++c.latin;
        } else {
            ++c.other;
        }
    }
    c.utf8Bytes = text.toUtf8().size();
    return c;
}

// Writes and reads more than any processor cache holds.
void evictCaches() {
    static std::vector<unsigned char> scratch(128 * 1024 * 1024);
    static unsigned char round = 0;
    std::fill(scratch.begin(), scratch.end(), ++round);
    volatile unsigned sum = 0;
    for (std::size_t i = 0; i < scratch.size(); i += 64) {
        sum = sum + scratch[i];
    }
}

struct Timing {
    double median = 0; // seconds
    double best = 0;
};

// Runs runs after one unmeasured run; check() looks at each result outside the
// timing so that the work cannot be skipped.
template <typename Result>
Timing timeRuns(const std::function<Result()>& run,
                const std::function<void(const Result&)>& check) {
    check(run());
    std::vector<double> times;
    for (int i = 0; i < Runs; ++i) {
        evictCaches();
        const qint64 start = nowNs();
        const Result result = run();
        times.push_back(static_cast<double>(nowNs() - start) / 1e9);
        check(result);
    }
    return {vt::bench::spreadOf(times).median, *std::min_element(times.begin(), times.end())};
}

struct Figure {
    qsizetype characters = 0;
    qsizetype utf8Bytes = 0;
    Timing time;
};

void printFigure(const char* what, const Figure& f) {
    const double mchars = static_cast<double>(f.characters) / 1e6;
    const double seconds = f.time.median;
    std::printf("  %-6s %5.1f M characters (%5.1f MB UTF-8): median %7.1f ms, best %7.1f ms;"
                " %7.1f MB/s (%7.1f MB/s UTF-8)\n",
                what, mchars, static_cast<double>(f.utf8Bytes) / 1e6, seconds * 1e3,
                f.time.best * 1e3, mchars / seconds,
                static_cast<double>(f.utf8Bytes) / 1e6 / seconds);
}

void printVerdict(const char* what, const Figure& small, const Figure& large) {
    const double speed = static_cast<double>(large.characters) / 1e6 / large.time.median;
    const double perCharRatio = (large.time.best / static_cast<double>(large.characters)) /
                                (small.time.best / static_cast<double>(small.characters));
    std::printf("  %s: %.0f MB/s on the large text, goal >= %.0f MB/s: %s (ratio %.1f);"
                " time per character large/small %.2f (limit %.2f): %s\n",
                what, speed, GoalMBps, speed >= GoalMBps ? "met" : "MISSED", speed / GoalMBps,
                perCharRatio, LinearLimit, perCharRatio <= LinearLimit ? "linear" : "NOT LINEAR");
}

Figure cleanFigure(const QString& text, qsizetype utf8Bytes) {
    const Timing time =
        timeRuns<QString>([&] { return vt::CleanSpeechText(text); },
                          [&](const QString& cleaned) {
                              if (cleaned.size() != text.size()) {
                                  std::fprintf(stderr, "CleanSpeechText changed the length\n");
                                  std::exit(1);
                              }
                          });
    return {text.size(), utf8Bytes, time};
}

Figure splitFigure(const QString& text, qsizetype utf8Bytes) {
    const Timing time = timeRuns<QStringList>(
        [&] {
            QString consumed = text; // shared until SplitByLength lets go of it
            return vt::SplitByLength(consumed, PieceLength);
        },
        [&](const QStringList& pieces) {
            qsizetype total = 0;
            for (const QString& piece : pieces) {
                total += piece.size();
            }
            if (total != text.size()) {
                std::fprintf(stderr, "SplitByLength lost characters\n");
                std::exit(1);
            }
        });
    return {text.size(), utf8Bytes, time};
}

void measure(const char* regime, const QString& small, qsizetype smallUtf8, const QString& large,
             qsizetype largeUtf8) {
    std::printf("Memory: %s\n", regime);
    std::printf(" CleanSpeechText\n");
    const Figure cleanSmall = cleanFigure(small, smallUtf8);
    const Figure cleanLarge = cleanFigure(large, largeUtf8);
    printFigure("small", cleanSmall);
    printFigure("large", cleanLarge);
    printVerdict("CleanSpeechText", cleanSmall, cleanLarge);

    std::printf(" SplitByLength, pieces of %lld characters\n", static_cast<long long>(PieceLength));
    const Figure splitSmall = splitFigure(small, smallUtf8);
    const Figure splitLarge = splitFigure(large, largeUtf8);
    printFigure("small", splitSmall);
    printFigure("large", splitLarge);
    printVerdict("SplitByLength", splitSmall, splitLarge);
}

qsizetype megaArgument(int argc, char** argv, int index, qsizetype fallback) {
    if (argc > index) {
        const long value = std::strtol(argv[index], nullptr, 10);
        if (value > 0) {
            return static_cast<qsizetype>(value);
        }
    }
    return fallback;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const qsizetype largeChars = megaArgument(argc, argv, 1, 50) * 1'000'000;
    const qsizetype smallChars = megaArgument(argc, argv, 2, 10) * 1'000'000;

    const qint64 made = nowNs();
    const QString large = vt::bench::mixedText(largeChars);
    const QString small = large.left(smallChars);
    const double makeSeconds = static_cast<double>(nowNs() - made) / 1e9;
    const Composition lc = compositionOf(large);
    const Composition sc = compositionOf(small);
    const double n = static_cast<double>(large.size());
    std::printf("Mixed text, %lld characters (made in %.1f s): %.1f%% ASCII, %.2f%% other"
                " windows-1252 (accents, typographic quotes and dashes), %.2f%% CJK;"
                " %.1f MB as UTF-8\n",
                static_cast<long long>(large.size()), makeSeconds, 100.0 * lc.ascii / n,
                100.0 * lc.latin / n, 100.0 * lc.other / n, lc.utf8Bytes / 1e6);
    std::printf("Median of %d runs after one unmeasured run; MB/s counts a million characters"
                " as a MB.\n",
                Runs);

    // The results are big enough that where their memory comes from shows:
    // glibc maps fresh pages for large blocks (each first touch a page fault)
    // up to a threshold that moves as blocks are freed, so a 10 MB text can
    // land on reused pages and a 50 MB one on fresh ones. Each regime is held
    // fixed so that the two sizes compare like with like.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    measure("fresh pages (each result newly mapped, as for a program's first large text)", small,
            sc.utf8Bytes, large, lc.utf8Bytes);
    mallopt(M_MMAP_MAX, 0);
    mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());
    measure("reused pages (results from memory freed by the run before)", small, sc.utf8Bytes,
            large, lc.utf8Bytes);
    return 0;
}
