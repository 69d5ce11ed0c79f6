// How much of what the export says differs from the page: for each page, the
// share of eSpeak NG's phoneme words (same voice) that differ between the text
// the export gives the engine and the page's rendered text, and how many
// U+FFFD reached the engine. Usage: speech_text_bench [--details] [FOLDER...]
// (default: the bench pages and the test pages).
#include "support/speechtext/PageWords.h"
#include "support/speechtext/PhonemeEngine.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <numeric>
#include <vector>

namespace {

QByteArray pageLanguage(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return "en";
    }
    static const QRegularExpression lang(QStringLiteral("<html[^>]*\\blang=\"([a-z]+)"));
    const auto match = lang.match(QString::fromLatin1(file.read(4096)));
    return match.hasMatch() ? match.captured(1).toLatin1() : QByteArray("en");
}

double median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const std::size_t half = values.size() / 2;
    return values.size() % 2 ? values[half] : (values[half - 1] + values[half]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList folders = app.arguments().mid(1);
    const bool details = folders.removeAll(QStringLiteral("--details")) > 0;
    if (folders.isEmpty()) {
        folders = {QStringLiteral(VT_BENCH_PAGES), QStringLiteral(VT_TEST_PAGES)};
    }
    vt::test::PhonemeEngine engine;
    try {
        engine.checkStarted();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "the speech engine does not start: %s\n", e.what());
        return 1;
    }

    std::printf("%-16s %4s %6s %6s %7s %7s %6s\n", "page", "lang", "words", "differ", "share",
                "decor.", "U+FFFD");
    std::vector<double> shares;
    qsizetype replacements = 0;
    for (const QString& folder : folders) {
        const QDir dir(folder);
        for (const QString& name :
             dir.entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name)) {
            const QString path = dir.filePath(name);
            const QByteArray language = pageLanguage(path);
            const vt::test::ExportedSpeech speech =
                vt::test::exportedSpeechOf(QUrl::fromLocalFile(path).toString());
            if (!speech.failure.isEmpty()) {
                std::fprintf(stderr, "%s: %s\n", qPrintable(name), qPrintable(speech.failure));
                return 1;
            }
            const QByteArray voice = vt::test::voiceForLanguage(language);
            const QStringList page = vt::test::phonemeWords(engine, {speech.rendered}, voice);
            const QStringList said = vt::test::phonemeWords(engine, speech.pieces, voice);
            const vt::test::WordDifference difference = vt::test::compareWords(page, said);
            // What remains once the decoration and the case of ordinary words
            // are set aside: the differences no rule of the splitter explains.
            const QString pageWords =
                vt::test::inSpeakingCase(vt::test::withoutDecoration(speech.rendered));
            const vt::test::WordDifference unexplained =
                vt::test::compareWords(vt::test::phonemeWords(engine, {pageWords}, voice), said);
            const qsizetype fffd = speech.pieces.join(QString()).count(QChar(0xfffd));
            replacements += fffd;
            shares.push_back(difference.share());
            std::printf("%-16s %4s %6d %6d %6.2f%% %6d %6lld\n", qPrintable(name),
                        language.constData(), difference.expectedWords, difference.differing,
                        100 * difference.share(), difference.differing - unexplained.differing,
                        static_cast<long long>(fffd));
            if (details) {
                for (const QString& stretch : difference.stretches) {
                    std::printf("    %s\n", qPrintable(stretch));
                }
            }
        }
    }
    const double mean =
        shares.empty() ? 0 : std::accumulate(shares.begin(), shares.end(), 0.0) / shares.size();
    std::printf("\n%zu pages: median %.2f%%, mean %.2f%% of phoneme words differ; %lld U+FFFD "
                "reached the engine\n",
                shares.size(), 100 * median(shares), 100 * mean,
                static_cast<long long>(replacements));
    std::printf("(decor.: differing words that the left-out decoration, the lower-cased ordinary "
                "words and their sentence ends account for)\n");
    return 0;
}
