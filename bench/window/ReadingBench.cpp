// Reading-aloud benchmark: a click on "Start Reading" in the window, a page
// from a local web server, the real engine playing into the test null sink.
//   - fetch: click to the page text on the window thread
//   - text to first sound heard on the sink's monitor (goal: under 250 ms,
//     that is, click to first sound under 250 ms plus the fetch)
//   - Pause: click to the last sound heard (goal: under 100 ms)
// The first stream a fresh test sink plays waits for it, so the bench plays a
// moment of silence through it first. Then one reading reported apart (the
// program's first audio stream), then several measured ones, each in a fresh
// window.
//
// The monitor hears a sample when the null sink takes it from the program,
// which the sink does a little ahead of the sample's time to play (by up to
// its latency, printed after the first reading). So a Pause figure below zero means
// the sink took nothing audible after the click; a real device would go on
// playing for at most its own latency.
//
//   reading_bench [runs]     default: 5
#include "BenchFigures.h"
#include "EventWait.h"
#include "TimedMonitor.h"
#include "WindowTestSupport.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnvironment.h"
#include "window/handlers/ReadingController.h"

#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <utility>
#include <vector>

using vt::ReadingController;
using vt::bench::nowNs;
using vt::bench::runEventsFor;
using vt::bench::runEventsUntil;
using vt::bench::TimedMonitor;
using vt::bench::toMs;

namespace {

constexpr double FirstSoundGoalMs = 250;
constexpr double PauseGoalMs = 100;

QByteArray pageOfSentences(int sentences) {
    QByteArray body = "<html><head><title>Not read</title></head><body>";
    for (int i = 0; i < sentences; ++i) {
        body += "<p>This is sentence number " + QByteArray::number(i) +
                " of the page, read aloud to measure how soon it is heard.</p>";
    }
    return body + "</body></html>";
}

// Notes when the page text reaches the window thread: the start of the last
// event delivered to the reading (or anything it owns) while it is still
// fetching. The event that brings the text ends the fetch before it returns,
// so later events no longer count.
class FetchEndWatch : public QObject {
  public:
    void watch(const vt::Form1* window) {
        m_window = window;
        m_lastEvent = -1;
    }
    void stop() { m_window = nullptr; }
    qint64 textArrived() const { return m_lastEvent; }

  protected:
    bool eventFilter(QObject* receiver, QEvent* event) override {
        Q_UNUSED(event);
        if (m_window && m_window->readingState() == ReadingController::State::Fetching &&
            ownedByReading(receiver)) {
            m_lastEvent = nowNs();
        }
        return false;
    }

  private:
    static bool ownedByReading(const QObject* object) {
        for (; object; object = object->parent()) {
            if (qobject_cast<const ReadingController*>(object)) {
                return true;
            }
        }
        return false;
    }

    const vt::Form1* m_window = nullptr;
    qint64 m_lastEvent = -1;
};

// The test sink's latency line from pactl, e.g. "Latency: 9000 usec,
// configured 20000 usec".
QString nullSinkLatency() {
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"), {QStringLiteral("list"), QStringLiteral("sinks")});
    if (!pactl.waitForFinished(5000)) {
        return QStringLiteral("pactl did not answer");
    }
    bool inSink = false;
    for (const QByteArray& raw : pactl.readAllStandardOutput().split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith("Name: ")) {
            inSink = line == "Name: vellumtone_null";
        } else if (inSink && line.startsWith("Latency: ")) {
            return QString::fromLocal8Bit(line);
        }
    }
    return QStringLiteral("no latency line for the test sink");
}

// Plays half a second of silence to the default sink and waits for the end.
bool settleSink() {
    QProcess pacat;
    pacat.start(QStringLiteral("pacat"),
                {QStringLiteral("--playback"), QStringLiteral("--raw"),
                 QStringLiteral("--format=s16le"), QStringLiteral("--rate=22050"),
                 QStringLiteral("--channels=1")});
    if (!pacat.waitForStarted(5000)) {
        return false;
    }
    pacat.write(QByteArray(22050, '\0'));
    pacat.closeWriteChannel();
    return pacat.waitForFinished(10000) && pacat.exitCode() == 0;
}

struct Run {
    double fetchMs = -1;     // click to page text on the window thread
    double leftFetchMs = -1; // click to the state leaving Fetching (seen by polling)
    double textToSoundMs = -1;
    double clickToSoundMs = -1;
    double pauseMs = -1; // click on Pause to the last sound heard
    QString trouble;
    QString sinkLatency; // asked for once, while the reading is paused
};

class ReadingBench {
  public:
    ReadingBench(TimedMonitor& monitor, FetchEndWatch& watch, QString address)
        : m_monitor(monitor), m_watch(watch), m_address(std::move(address)) {}

    Run run(bool askSinkLatency = false) {
        Run r;
        vt::test::WindowFixture f;
        if (!f.load()) {
            r.trouble = "the window did not load";
            return r;
        }
        vt::Form1& w = *f.window;
        w.Text1->setText(m_address);
        // Let the window settle and the sink fall silent before the click.
        runEventsFor(300, tick());
        runEventsUntil([&] { return !m_monitor.soundingNow(); }, 3000, tick());
        const qsizetype from = m_monitor.count();

        m_watch.watch(&w);
        const qint64 click = nowNs();
        w.PushButton2->click();
        const bool fetched = runEventsUntil(
            [&] { return w.readingState() != ReadingController::State::Fetching; }, 10000, tick());
        const qint64 leftFetch = nowNs();
        m_watch.stop();
        if (!fetched || m_watch.textArrived() < 0) {
            r.trouble = "the fetch did not end";
            return r;
        }
        r.fetchMs = toMs(m_watch.textArrived() - click);
        r.leftFetchMs = toMs(leftFetch - click);

        if (!runEventsUntil([&] { return m_monitor.firstAudible(from) >= 0; }, 10000, tick())) {
            r.trouble = "no sound within 10 s";
            return r;
        }
        const qint64 heard = m_monitor.heardAt(m_monitor.firstAudible(from));
        r.textToSoundMs = toMs(heard - m_watch.textArrived());
        r.clickToSoundMs = toMs(heard - click);

        // Pause in the middle of the speech, while sound is arriving; each run
        // somewhere else in the same text.
        runEventsFor(600 + 137 * m_runs++, tick());
        if (!runEventsUntil([&] { return m_monitor.soundingNow(); }, 3000, tick())) {
            r.trouble = "the speech ended before Pause";
            return r;
        }
        const qint64 pause = nowNs();
        w.PushButton2->click();
        if (w.readingState() != ReadingController::State::Paused) {
            r.trouble = "Pause did not pause";
            return r;
        }
        runEventsFor(800, tick());
        const qsizetype last = m_monitor.lastAudible(from);
        r.pauseMs = toMs(m_monitor.heardAt(last) - pause);
        if (askSinkLatency) {
            r.sinkLatency = nullSinkLatency();
        }

        bool closed = false;
        QObject::connect(&w, &vt::Form1::closed, [&] { closed = true; });
        w.close();
        runEventsUntil([&] { return closed; }, 5000, tick());
        return r;
    }

  private:
    std::function<void()> tick() {
        return [this] { m_monitor.poll(); };
    }

    TimedMonitor& m_monitor;
    FetchEndWatch& m_watch;
    QString m_address;
    int m_runs = 0;
};

void printRun(const char* label, const Run& r) {
    if (!r.trouble.isEmpty()) {
        std::printf("  %-8s %s\n", label, qPrintable(r.trouble));
        return;
    }
    std::printf("  %-8s fetch %6.1f ms (state left Fetching at %6.1f ms), text to first sound"
                " %6.1f ms, click to first sound %6.1f ms, Pause to last sound %6.1f ms\n",
                label, r.fetchMs, r.leftFetchMs, r.textToSoundMs, r.clickToSoundMs, r.pauseMs);
}

const char* verdict(double value, double goal) {
    return value < goal ? "met" : "MISSED";
}

} // namespace

int main(int argc, char** argv) {
    vt::test::isolateEnvironment();
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

    vt::test::AudioServer::prepare();
    if (!vt::test::AudioServer::available()) {
        std::printf("Reading aloud: skipped, no PulseAudio sink (%s)\n",
                    qPrintable(vt::test::AudioServer::unavailableReason()));
        return 0;
    }
    {
        vt::test::LocalHttpServer server;
        server.page("/page", pageOfSentences(30));
        TimedMonitor monitor;
        if (!monitor.start()) {
            std::printf("Reading aloud: skipped, parec does not run\n");
            vt::test::AudioServer::shutdown();
            return 0;
        }
        FetchEndWatch watch;
        app.installEventFilter(&watch);
        ReadingBench bench(monitor, watch, server.url("/page"));

        std::printf("Reading aloud from %s (%lld bytes) into the test null sink\n",
                    qPrintable(server.url("/page")),
                    static_cast<long long>(pageOfSentences(30).size()));
        const qint64 settling = nowNs();
        const bool settled = settleSink();
        std::printf("  half a second of silence played to settle the sink: %s in %.0f ms\n",
                    settled ? "done" : "FAILED", toMs(nowNs() - settling));
        const Run warmUp = bench.run(true);
        printRun("first", warmUp);
        std::printf("  test sink while paused: %s\n", qPrintable(warmUp.sinkLatency));
        std::vector<double> fetch, leftFetch, textToSound, clickToSound, pause;
        for (int i = 0; i < runs; ++i) {
            const Run r = bench.run();
            printRun(qPrintable(QStringLiteral("run %1").arg(i + 1)), r);
            if (!r.trouble.isEmpty()) {
                continue; // reported above; the summary covers the good runs
            }
            fetch.push_back(r.fetchMs);
            leftFetch.push_back(r.leftFetchMs);
            textToSound.push_back(r.textToSoundMs);
            clickToSound.push_back(r.clickToSoundMs);
            pause.push_back(r.pauseMs);
        }
        app.removeEventFilter(&watch);

        using vt::bench::printSpread;
        using vt::bench::spreadOf;
        const auto fetchSpread = spreadOf(fetch);
        const auto soundSpread = spreadOf(textToSound);
        const auto pauseSpread = spreadOf(pause);
        std::printf("Summary\n");
        printSpread("fetch (click to page text)", fetchSpread);
        printSpread("click to state leaving Fetching", spreadOf(leftFetch));
        printSpread("click to first sound", spreadOf(clickToSound));
        const QString soundGoal = QStringLiteral("goal < %1 ms: worst %2")
                                      .arg(FirstSoundGoalMs)
                                      .arg(verdict(soundSpread.worst, FirstSoundGoalMs));
        printSpread("page text to first sound", soundSpread, qPrintable(soundGoal));
        const QString pauseGoal = QStringLiteral("goal < %1 ms: worst %2")
                                      .arg(PauseGoalMs)
                                      .arg(verdict(pauseSpread.worst, PauseGoalMs));
        printSpread("Pause to last sound", pauseSpread, qPrintable(pauseGoal));
        if (soundSpread.count > 0) {
            std::printf("  ratio page-text-to-sound / goal: median %.2f, worst %.2f;"
                        " Pause / goal: median %.2f, worst %.2f\n",
                        soundSpread.median / FirstSoundGoalMs, soundSpread.worst / FirstSoundGoalMs,
                        pauseSpread.median / PauseGoalMs, pauseSpread.worst / PauseGoalMs);
        }
    }
    vt::test::AudioServer::shutdown();
    return 0;
}
