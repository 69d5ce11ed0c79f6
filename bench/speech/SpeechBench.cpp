// Speech benchmark: the real-time factor of WAV rendering compared with the
// espeak-ng program on the same text and voice (goal: ratio at most 1.05),
// and the time from speak() to the first sound heard on the test null sink
// (goal: under 250 ms), plus how fast Pause silences it and how long the
// window thread waits for the voice list.
//
//   speech_bench [text file]     default: the GPL-3 text, twice over

#include "core/Dialogs.h"
#include "core/TextCodec.h"
#include "speech/CleanSpeechText.h"
#include "speech/engine/EspeakEngine.h"
#include "speech/reading/SpeechVoice.h"
#include "speech/voices/VoiceCatalogue.h"
#include "speech/wav/SaveToWAV.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Reports nothing, answers no; a bench run must not stop for a box.
class SilentDialogs final : public vt::Dialogs {
  public:
    bool message(vt::MessageKind kind, const QString& text) override {
        if (kind != vt::MessageKind::Question) {
            complain(text);
        }
        return false;
    }
    QString chooseFile(vt::FileDialogKind, const vt::FileDialogRequest&) override { return {}; }
    QString browseForFolder(const QString&, const QString&) override { return {}; }
    bool openUrl(const QString&) override { return false; }

  private:
    static void complain(const QString& text) {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
};

double wavSeconds(const QString& path) {
    return std::max<qint64>(QFileInfo(path).size() - 44, 0) / 44100.0;
}

template <typename F> double bestSeconds(int runs, F&& run) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        best = std::min(best, timer.nsecsElapsed() / 1e9);
    }
    return best;
}

void renderingFigures(const vt::VoiceCatalogue& voices, const QString& folder,
                      const QString& textPath) {
    const QByteArray voice = voices.voices().front().identifier;
    const QString ours = folder + "/ours.wav";
    const QString theirs = folder + "/espeak.wav";
    SilentDialogs dialogs;

    QElapsedTimer cold;
    cold.start();
    vt::SaveToWAV(textPath, ours, {0, 100, 0}, voices, dialogs);
    const double coldSeconds = cold.nsecsElapsed() / 1e9;

    const double oursSeconds = bestSeconds(3, [&] {
        vt::SaveToWAV(textPath, ours, {0, 100, 0}, voices, dialogs);
    });
    const double theirsSeconds = bestSeconds(3, [&] {
        QProcess espeak;
        espeak.start("espeak-ng", {"-v", QString::fromUtf8(voice), "-s", "175", "-a", "100", "-w",
                                   theirs, "-f", textPath});
        espeak.waitForFinished(-1);
    });

    const double oursAudio = wavSeconds(ours);
    const double theirsAudio = wavSeconds(theirs);
    std::printf("WAV rendering, voice %s, rate 0 (175 words/min), %lld characters\n",
                voice.constData(), static_cast<long long>(QFileInfo(textPath).size()));
    std::printf("  SaveToWAV      %7.3f s for %8.1f s of audio  real-time factor %.5f"
                "  (first call, engine start included: %.3f s)\n",
                oursSeconds, oursAudio, oursSeconds / oursAudio, coldSeconds);
    std::printf("  espeak-ng -w   %7.3f s for %8.1f s of audio  real-time factor %.5f\n",
                theirsSeconds, theirsAudio, theirsSeconds / theirsAudio);
    std::printf("  ratio of real-time factors %.3f (goal <= 1.05); wall-time ratio %.3f\n",
                (oursSeconds / oursAudio) / (theirsSeconds / theirsAudio),
                oursSeconds / theirsSeconds);
}

// Runs the event loop until done() or the time is up.
bool waitFor(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    QEventLoop loop;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (done() || timer.elapsed() > timeoutMs) {
            loop.quit();
        }
    });
    tick.start(1);
    loop.exec();
    return done();
}

// What the null sink plays, as it arrives, with the time each block came.
class Listener {
  public:
    Listener() {
        QObject::connect(&m_parec, &QProcess::readyReadStandardOutput, [this] {
            const QByteArray bytes = m_parec.readAllStandardOutput();
            const auto* samples = reinterpret_cast<const qint16*>(bytes.constData());
            bool audible = false;
            for (qsizetype i = 0; i < bytes.size() / 2; ++i) {
                audible = audible || std::abs(samples[i]) > 16;
            }
            if (audible) {
                m_lastSound = m_clock.nsecsElapsed();
                if (m_firstSound < 0) {
                    m_firstSound = m_lastSound;
                }
            }
        });
        m_clock.start();
    }
    bool start() {
        m_parec.start("parec", {"--device=vellumtone_null.monitor", "--format=s16le",
                                "--rate=22050", "--channels=1", "--latency-msec=10", "--raw"});
        return m_parec.waitForStarted(5000);
    }
    ~Listener() {
        m_parec.kill();
        m_parec.waitForFinished(3000);
    }
    void reset() { m_firstSound = m_lastSound = -1; }
    qint64 now() const { return m_clock.nsecsElapsed(); }
    qint64 firstSound() const { return m_firstSound; }
    qint64 lastSound() const { return m_lastSound; }

  private:
    QProcess m_parec;
    QElapsedTimer m_clock;
    qint64 m_firstSound = -1;
    qint64 m_lastSound = -1;
};

void soundFigures(const vt::VoiceCatalogue& voices, const QString& folder) {
    QProcess script;
    script.start(VT_TEST_AUDIO_SCRIPT, {"start", folder + "/pulse"});
    script.waitForFinished(20000);
    const QByteArray printed = script.readAllStandardOutput().trimmed();
    if (script.exitCode() != 0 || !printed.startsWith("PULSE_SERVER=")) {
        std::printf("First sound: skipped, no test sound server (%s)\n",
                    script.readAllStandardError().constData());
        return;
    }
    qputenv("PULSE_SERVER", printed.mid(13));
    {
        Listener listener;
        if (!listener.start()) {
            std::printf("First sound: skipped, parec does not run\n");
            return;
        }
        waitFor([] { return false; }, 300);
        double warmUp = 0;
        {
            // The first stream of the program: the audio system starts up too.
            vt::SpeechVoice voice(voices);
            const qint64 start = listener.now();
            voice.speak("Warming up.");
            waitFor([&] { return voice.isDone(); }, 10000);
            warmUp = (listener.firstSound() - start) / 1e6;
        }
        std::vector<double> firstSound;
        std::vector<double> pauseSilence;
        for (int run = 0; run < 5; ++run) {
            vt::SpeechVoice voice(voices);
            listener.reset();
            const qint64 start = listener.now();
            voice.speak(
                "Speech should begin at once when the text is there. It goes on for a while.");
            waitFor([&] { return listener.firstSound() >= 0; }, 5000);
            firstSound.push_back((listener.firstSound() - start) / 1e6);
            // Pause in the middle of a word: while sound is arriving.
            waitFor([] { return false; }, 300);
            waitFor([&] { return listener.now() - listener.lastSound() < 5'000'000; }, 3000);
            const qint64 paused = listener.now();
            voice.pause();
            waitFor([] { return false; }, 500);
            pauseSilence.push_back((listener.lastSound() - paused) / 1e6);
        }
        std::sort(firstSound.begin(), firstSound.end());
        std::sort(pauseSilence.begin(), pauseSilence.end());
        std::printf("Reading aloud through the test null sink (heard on its monitor, 5 runs)\n");
        std::printf("  speak() to first sound heard: median %.0f ms, worst %.0f ms (goal < 250 ms);"
                    " first stream of the program: %.0f ms\n",
                    firstSound[2], firstSound[4], warmUp);
        std::printf(
            "  pause() to last sound heard:  median %.0f ms, worst %.0f ms (goal < 100 ms)\n",
            pauseSilence[2], pauseSilence[4]);
    }
    script.start(VT_TEST_AUDIO_SCRIPT, {"stop", folder + "/pulse"});
    script.waitForFinished(20000);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    const QString source = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                    : QStringLiteral("/usr/share/common-licenses/GPL-3");
    QFile file(source);
    if (!folder.isValid() || !file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(source));
        return 1;
    }
    QString text = vt::decodeTextFile(file.readAll());
    if (argc <= 1) {
        text = text.repeated(2);
    }
    // The export speaks cleaned text; so does the bench.
    const QString textPath = folder.filePath("text.txt");
    QFile out(textPath);
    out.open(QIODevice::WriteOnly);
    out.write(vt::CleanSpeechText(text).toUtf8());
    out.close();

    QElapsedTimer listing;
    listing.start();
    vt::EspeakEngine engine;
    vt::VoiceCatalogue voices(engine);
    voices.refresh();
    const qsizetype voiceCount = voices.voiceNames().size();
    const double firstListMs = listing.nsecsElapsed() / 1e6;
    const double listMs = bestSeconds(5,
                                      [&] {
                                          voices.refresh();
                                          voices.voiceNames();
                                      }) *
                          1e3;
    std::printf("Voice list: %lld voices in %.1f ms (first call, engine start included: %.1f ms)\n",
                static_cast<long long>(voiceCount), listMs, firstListMs);

    renderingFigures(voices, folder.path(), textPath);
    soundFigures(voices, folder.path());
    return 0;
}
