// Export speed against the plain pipeline: `espeak-ng -w` then `lame -h` on the
// same text, voice and rate, run side by side (alternating, median of an odd
// number of runs). The text is shaped like a rendered page: headings and list
// items without full stops, paragraphs of several sentences, empty lines
// between blocks, no trailing blanks. The baseline reads the same file with
// the same line handling as the program's engine (`-l`, a line without
// punctuation ends a clause), so both sides speak the same words with the same
// pauses; the bench checks that their audio lengths agree within 3% before it
// reports a ratio. Also the speed of cleaning and splitting a large text.
//
//   export_bench [--repeats N] [--split-only]
#include "commands/StreamDialogs.h"
#include "core/files/TempFolders.h"
#include "export/CutTextFileFSO.h"
#include "export/ExportJob.h"
#include "speech/engine/EspeakEngine.h"
#include "speech/engine/SpeechEngine.h"
#include "speech/synthesis/RateMapping.h"
#include "speech/voices/VoiceCatalogue.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {

QTextStream& console() {
    static QTextStream stream(stdout);
    return stream;
}

// Text shaped like a rendered page: per block a heading, a paragraph of
// sentences and a short list, with empty lines between them.
QByteArray pageText(int blocks, int sentencesPerParagraph) {
    static const QList<QByteArray> words = {
        "river", "garden", "morning", "quiet",  "lantern", "harbour", "yellow",  "window",
        "paper", "silver", "travel",  "orange", "meadow",  "pencil",  "thunder", "basket"};
    quint32 seed = 2024;
    auto phrase = [&](int count, bool capital) {
        QByteArray text;
        for (int w = 0; w < count; ++w) {
            seed = seed * 1103515245u + 12345u;
            QByteArray word = words.at(static_cast<int>((seed >> 16) % words.size()));
            if (w == 0 && capital) {
                word[0] = static_cast<char>(word[0] - 'a' + 'A');
            }
            text += (w == 0 ? "" : " ") + word;
        }
        return text;
    };
    QByteArray text;
    for (int block = 0; block < blocks; ++block) {
        text += phrase(3, true) + "\n\n";
        for (int s = 0; s < sentencesPerParagraph; ++s) {
            text += (s == 0 ? "" : " ") + phrase(7, true) + ".";
        }
        text += "\n\n";
        for (int item = 0; item < 3; ++item) {
            text += phrase(2, true) + "\n";
        }
        text += "\n";
    }
    return text;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

bool runQuietly(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// CPU seconds used so far by this process and its ended children.
double cpuSeconds() {
    double total = 0;
    for (const int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage usage{};
        getrusage(who, &usage);
        total += usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                 (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
    return total;
}

// At 22,050 Hz mono the encoder writes 32 kbit/s.
double mp3Minutes(const QString& path) {
    return QFileInfo(path).size() * 8.0 / 32000 / 60;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Case {
    const char* name;
    int blocks;
    int sentencesPerParagraph;
    double goal; // at most this times the baseline
};

// One run: wall time, CPU time, minutes of audio made.
struct Run {
    double seconds = -1;
    double cpu = 0;
    double audioMinutes = 0;
};

class Bench {
  public:
    explicit Bench(const QString& folder) : m_folder(folder) {}

    bool prepare() {
        m_voices.refresh();
        m_voice = QString::fromLatin1(m_voices.defaultVoiceIdentifier());
        m_wordsPerMinute = vt::engineRateFor(Rate).wordsPerMinute;
        return QDir().mkpath(m_folder.filePath("out"));
    }

    int partsOf(const QString& textPath) {
        const QString copy = m_folder.filePath("count/output.txt");
        QDir().mkpath(m_folder.filePath("count"));
        QFile::remove(copy);
        QFile::copy(textPath, copy);
        QTextStream err(stderr);
        vt::StreamDialogs dialogs(err);
        const int parts = vt::CutTextFileFSO(copy, Rate, dialogs);
        QDir(m_folder.filePath("count")).removeRecursively();
        return parts;
    }

    // espeak-ng -w, then lame -h, as one would run them by hand.
    Run baseline(const QString& textPath) {
        const QString wav = m_folder.filePath("baseline.wav");
        const QString mp3 = m_folder.filePath("out/baseline.mp3");
        Run run;
        const double cpuBefore = cpuSeconds();
        QElapsedTimer timer;
        timer.start();
        const bool ok =
            runQuietly("espeak-ng",
                       {"-w", wav, "-f", textPath, "-v", m_voice, "-s",
                        QString::number(m_wordsPerMinute), "-a", QString::number(Volume), "-l",
                        QString::number(vt::SpeechEngine::PhraseLineLength)}) &&
            runQuietly("lame", {"-h", wav, mp3});
        run.seconds = ok ? timer.nsecsElapsed() / 1e9 : -1;
        run.cpu = cpuSeconds() - cpuBefore;
        run.audioMinutes = mp3Minutes(mp3);
        QFile::remove(wav);
        QFile::remove(mp3);
        return run;
    }

    // The whole export job: fetch, split, render, encode, join.
    Run exportJob(const QString& textPath) {
        QString shown; // "Done." or why not; a failed run is reported below
        QTextStream messages(&shown);
        vt::StreamDialogs dialogs(messages);
        const vt::ExportRequest request{QUrl::fromLocalFile(textPath).toString(),
                                        m_folder.filePath("out/"),
                                        vt::VoiceChoice{-1, Volume, Rate}};
        vt::ExportResult result;
        Run run;
        const double cpuBefore = cpuSeconds();
        QElapsedTimer timer;
        timer.start();
        std::unique_ptr<QThread> worker(
            QThread::create([&] { result = vt::runExport(request, m_voices, dialogs, {}); }));
        worker->start();
        worker->wait();
        run.seconds = result.mp3Made ? timer.nsecsElapsed() / 1e9 : -1;
        if (!result.mp3Made) {
            std::fprintf(stderr, "export_bench: %s\n", qPrintable(shown));
        }
        run.cpu = cpuSeconds() - cpuBefore;
        run.audioMinutes = mp3Minutes(result.mp3Path);
        QFile::remove(result.mp3Path);
        return run;
    }

    static constexpr int Rate = 0;
    static constexpr int Volume = 100;

  private:
    vt::EspeakEngine m_engine;
    vt::VoiceCatalogue m_voices{m_engine};
    QDir m_folder;
    QString m_voice;
    int m_wordsPerMinute = 175;
};

// Cleaning and splitting a large text, in MB of input per second.
double splitSpeed(const QString& folder) {
    QByteArray line = "The Quick brown fox, jumps over the lazy dog; while (reading) pages "
                      "aloud - it's 100% fun&#xa0;\n";
    QByteArray text;
    while (text.size() < 50 * 1024 * 1024) {
        text += line;
    }
    const QString path = QDir(folder).filePath("split/output.txt");
    QDir().mkpath(QDir(folder).filePath("split"));
    QTextStream err(stderr);
    vt::StreamDialogs dialogs(err);
    std::vector<double> speeds;
    for (int run = 0; run < 3; ++run) {
        writeFile(path, text);
        QElapsedTimer timer;
        timer.start();
        vt::CutTextFileFSO(path, 0, dialogs);
        speeds.push_back(text.size() / 1e6 / (timer.nsecsElapsed() / 1e9));
    }
    QDir(QDir(folder).filePath("split")).removeRecursively();
    return median(speeds);
}

bool reportSplitSpeed(const QString& folder) {
    const double speed = splitSpeed(folder);
    console() << QString("Cleaning and splitting: %1 MB/s (goal >= 100) %2\n")
                     .arg(speed, 0, 'f', 1)
                     .arg(speed >= 100 ? "met" : "MISSED");
    return speed >= 100;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int repeats = 3;
    const QStringList arguments = QCoreApplication::arguments();
    const qsizetype at = arguments.indexOf("--repeats");
    if (at > 0 && at + 1 < arguments.size()) {
        repeats = qMax(1, arguments.at(at + 1).toInt());
    }
    repeats |= 1; // an odd number of runs has a true median
    for (const char* tool : {"espeak-ng", "lame"}) {
        if (QStandardPaths::findExecutable(tool).isEmpty()) {
            std::fprintf(stderr, "export_bench: %s is not installed\n", tool);
            return 2;
        }
    }
    QTemporaryDir work;
    if (arguments.contains("--split-only")) {
        return reportSplitSpeed(work.path()) ? 0 : 1;
    }
    qputenv("TEMP", QFile::encodeName(work.path())); // the job folders go here
    Bench bench(work.path());
    if (!work.isValid() || !bench.prepare()) {
        std::fprintf(stderr, "export_bench: no working folder\n");
        return 2;
    }

    // 8 lines a block: 120 blocks stay within one part, 400 make three.
    const Case cases[] = {
        {"one part", 120, 4, 1.05},
        {"several parts", 400, 1, 0.7},
    };
    console() << "Export against espeak-ng -w + lame -h (rate " << Bench::Rate << ", "
              << QThread::idealThreadCount() << " cores, median of " << repeats << " runs)\n";
    bool allMet = true;
    for (const Case& c : cases) {
        const QByteArray text = pageText(c.blocks, c.sentencesPerParagraph);
        const int lines = static_cast<int>(text.count('\n'));
        const QString textPath = QDir(work.path()).filePath(QString("%1.txt").arg(c.blocks));
        writeFile(textPath, text);
        const int parts = bench.partsOf(textPath);
        std::vector<Run> baseline;
        std::vector<Run> job;
        for (int run = 0; run < repeats; ++run) {
            // Alternate which goes first so neither always meets a warm or busy machine.
            if (run % 2 == 0) {
                baseline.push_back(bench.baseline(textPath));
                job.push_back(bench.exportJob(textPath));
            } else {
                job.push_back(bench.exportJob(textPath));
                baseline.push_back(bench.baseline(textPath));
            }
            if (baseline.back().seconds < 0 || job.back().seconds < 0) {
                std::fprintf(stderr, "export_bench: a run failed\n");
                return 1;
            }
        }
        auto middle = [](const std::vector<Run>& runs, double Run::*field) {
            std::vector<double> values;
            for (const Run& r : runs) {
                values.push_back(r.*field);
            }
            return median(values);
        };
        // Equal work first: the same words and pauses give the same audio length.
        const double jobAudio = middle(job, &Run::audioMinutes);
        const double baseAudio = middle(baseline, &Run::audioMinutes);
        const double audioDifference = std::abs(jobAudio - baseAudio) / baseAudio;
        if (audioDifference > 0.03) {
            console() << QString("  %1: export %2 min of audio, baseline %3 min (%4% apart): "
                                 "not the same work, no ratio\n")
                             .arg(c.name)
                             .arg(jobAudio, 0, 'f', 2)
                             .arg(baseAudio, 0, 'f', 2)
                             .arg(audioDifference * 100, 0, 'f', 1);
            allMet = false;
            continue;
        }
        const double jobSeconds = middle(job, &Run::seconds);
        const double baseSeconds = middle(baseline, &Run::seconds);
        const double ratio = jobSeconds / baseSeconds;
        const bool met = ratio <= c.goal;
        allMet = allMet && met;
        console() << QString("  %1 (%2 lines, %3 parts): export %4 s (CPU %5 s, %6 min of audio), "
                             "baseline %7 s (CPU %8 s, %9 min of audio)\n")
                         .arg(c.name)
                         .arg(lines)
                         .arg(parts)
                         .arg(jobSeconds, 0, 'f', 2)
                         .arg(middle(job, &Run::cpu), 0, 'f', 2)
                         .arg(jobAudio, 0, 'f', 2)
                         .arg(baseSeconds, 0, 'f', 2)
                         .arg(middle(baseline, &Run::cpu), 0, 'f', 2)
                         .arg(baseAudio, 0, 'f', 2);
        console() << QString("    ratio %1 (goal %2 %3) %4\n")
                         .arg(ratio, 0, 'f', 3)
                         .arg(c.goal < 1 ? "<" : "<=")
                         .arg(c.goal, 0, 'f', 2)
                         .arg(met ? "met" : "MISSED");
        console().flush();
    }
    const bool splitMet = reportSplitSpeed(work.path());
    return allMet && splitMet ? 0 : 1;
}
