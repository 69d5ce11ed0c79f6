// Naming the MP3 after a very long address: the time per address character at
// 13,000 and at 130,000 characters (median of alternated runs), for naming the
// file from the cleaned address and for the cleaning itself. Work linear in
// the address gives a ratio near 1 (naming, which stops at the longest name,
// well below); re-encoding the name for each character cut gave about 10.
//
//   output_name_bench [--repeats N]
#include "export/OutputName.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <algorithm>
#include <vector>

namespace {

QString longAddress(qsizetype length) {
    const QString piece =
        QStringLiteral("http://example.com/a?b=\u00e9&c=") + QString::fromUcs4(U"\U0001F600", 1);
    QString address;
    while (address.size() < length) {
        address += piece;
    }
    return address.left(length);
}

double secondsToName(const QString& cleanedAddress) {
    QElapsedTimer timer;
    timer.start();
    const QString path = vt::FinalMp3Path(QStringLiteral("/tmp/out/"), cleanedAddress);
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    if (!path.endsWith(QStringLiteral(".mp3"))) {
        qFatal("no MP3 name");
    }
    return seconds;
}

double secondsToClean(const QString& address) {
    QElapsedTimer timer;
    timer.start();
    const QString cleaned = vt::SanitiseAddress(address);
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    if (cleaned.isEmpty()) {
        qFatal("nothing left");
    }
    return seconds;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int repeats = 5;
    const QStringList args = app.arguments();
    const qsizetype at = args.indexOf(QStringLiteral("--repeats"));
    if (at > 0 && at + 1 < args.size()) {
        repeats = qMax(1, args.at(at + 1).toInt()) | 1; // odd, for a true median
    }
    // Cleaning (one pass per removed character kind) and naming, timed apart.
    const QString shortRaw = longAddress(13000);
    const QString longRaw = longAddress(130000);
    const QString shortAddress = vt::SanitiseAddress(shortRaw);
    const QString longOne = vt::SanitiseAddress(longRaw);
    std::vector<double> shortTimes;
    std::vector<double> longTimes;
    std::vector<double> shortCleaning;
    std::vector<double> longCleaning;
    for (int i = 0; i < repeats; ++i) {
        shortTimes.push_back(secondsToName(shortAddress));
        longTimes.push_back(secondsToName(longOne));
        shortCleaning.push_back(secondsToClean(shortRaw));
        longCleaning.push_back(secondsToClean(longRaw));
    }
    const double perCharShort = median(shortTimes) / 13000.0;
    const double perCharLong = median(longTimes) / 130000.0;
    QTextStream out(stdout);
    out << "naming, 13,000 characters:  " << median(shortTimes) * 1e3 << " ms\n";
    out << "naming, 130,000 characters: " << median(longTimes) * 1e3 << " ms\n";
    out << "time per character, 130,000 against 13,000: " << perCharLong / perCharShort
        << " (linear: about 1)\n";
    out << "cleaning, 13,000 / 130,000 characters: " << median(shortCleaning) * 1e3 << " / "
        << median(longCleaning) * 1e3 << " ms; time per character, 130,000 against 13,000: "
        << (median(longCleaning) / 130000.0) / (median(shortCleaning) / 13000.0) << "\n";
    return 0;
}
