// Start-up benchmark: the time until the main window is shown (goal: under
// 0.5 s), with recording dialogs in place of the real ones, the offscreen
// platform and fresh settings.
//   - in this process: QApplication, the window built, Form_Load(), show(),
//     its first paint; the first window of the process, then warm repeats
//   - as a whole process: this program started again with --window, from
//     the start of the process to its window's first paint (the steady clock
//     is the same in both processes)
//   - the wall time of "vellumtone --list-voices", a start without a window
//
//   startup_bench [runs]     default: 5
#include "BenchFigures.h"
#include "EventWait.h"
#include "speech/engine/EspeakEngine.h"
#include "support/RecordingDialogs.h"
#include "support/TestEnvironment.h"
#include "window/form/Form1.h"

#include <QApplication>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

using vt::bench::nowNs;
using vt::bench::toMs;

namespace {

constexpr double GoalMs = 500;
constexpr char WindowMode[] = "--window";

// Notes when the window it watches begins its first paint.
class FirstPaint : public QObject {
  public:
    qint64 at() const { return m_at; }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && m_at < 0) {
            m_at = nowNs();
        }
        return false;
    }

  private:
    qint64 m_at = -1;
};

struct WindowStart {
    double buildMs = -1;   // the constructor
    double loadMs = -1;    // Form_Load()
    double showMs = -1;    // show()
    double paintedMs = -1; // from the constructor's start to the first frame painted
    qint64 paintedAt = -1; // on the nowNs() clock
    int dialogs = 0;       // boxes Form_Load showed (none expected)
    bool loaded = false;
};

WindowStart startWindow() {
    WindowStart s;
    vt::test::RecordingDialogs dialogs;
    FirstPaint paint;
    const qint64 begin = nowNs();
    vt::EspeakEngine engine; // as the program makes it, just before its window
    auto window = std::make_unique<vt::Form1>(engine, dialogs, [] { return 50; });
    const qint64 built = nowNs();
    s.loaded = window->Form_Load();
    const qint64 loaded = nowNs();
    if (!s.loaded) {
        return s;
    }
    window->installEventFilter(&paint);
    window->show();
    const qint64 shown = nowNs();
    // The check runs between events, so after the whole first frame.
    qint64 painted = -1;
    vt::bench::runEventsUntil(
        [&] {
            if (paint.at() >= 0 && painted < 0) {
                painted = nowNs();
            }
            return painted >= 0;
        },
        5000);
    s.buildMs = toMs(built - begin);
    s.loadMs = toMs(loaded - built);
    s.showMs = toMs(shown - loaded);
    s.paintedMs = painted < 0 ? -1 : toMs(painted - begin);
    s.paintedAt = painted;
    s.dialogs = static_cast<int>(dialogs.entries().size());
    window->close();
    return s;
}

void printWindowStart(const char* label, const WindowStart& s) {
    if (!s.loaded) {
        std::printf("  %-14s Form_Load() said the program must end\n", label);
        return;
    }
    std::printf("  %-14s built %6.1f ms, Form_Load %6.1f ms, show %5.1f ms, first frame"
                " painted at %6.1f ms; %d dialogs\n",
                label, s.buildMs, s.loadMs, s.showMs, s.paintedMs, s.dialogs);
}

// The child: prints when main began and when the window first painted.
int windowMode(int argc, char** argv) {
    const qint64 mainEntered = nowNs();
    vt::test::isolateEnvironment();
    QApplication app(argc, argv);
    const qint64 appMade = nowNs();
    const WindowStart s = startWindow();
    if (!s.loaded || s.paintedMs < 0) {
        return 1;
    }
    std::printf("main %lld app %lld painted %lld\n", static_cast<long long>(mainEntered),
                static_cast<long long>(appMade), static_cast<long long>(s.paintedAt));
    return 0;
}

struct ProcessStart {
    double toMainMs = -1;
    double toAppMs = -1;
    double toPaintMs = -1;
};

ProcessStart startProcess(const QString& program) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const qint64 started = nowNs();
    child.start(program, {QString::fromLatin1(WindowMode)});
    ProcessStart p;
    if (!child.waitForFinished(30000) || child.exitCode() != 0) {
        return p;
    }
    long long mainAt = 0, appAt = 0, paintedAt = 0;
    if (std::sscanf(child.readAllStandardOutput().constData(), "main %lld app %lld painted %lld",
                    &mainAt, &appAt, &paintedAt) != 3) {
        return p;
    }
    p.toMainMs = toMs(mainAt - started);
    p.toAppMs = toMs(appAt - started);
    p.toPaintMs = toMs(paintedAt - started);
    return p;
}

double listVoicesMs() {
    QProcess child;
    child.setStandardOutputFile(QProcess::nullDevice());
    const qint64 started = nowNs();
    child.start(QStringLiteral(VT_VELLUMTONE_PROGRAM), {QStringLiteral("--list-voices")});
    if (!child.waitForFinished(30000) || child.exitCode() != 0) {
        return -1;
    }
    return toMs(nowNs() - started);
}

const char* verdict(double ms) {
    return ms >= 0 && ms < GoalMs ? "met" : "MISSED";
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], WindowMode) == 0) {
        return windowMode(argc, argv);
    }
    const qint64 mainEntered = nowNs();
    vt::test::isolateEnvironment();
    QApplication app(argc, argv);
    const double appMs = toMs(nowNs() - mainEntered);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    using vt::bench::printSpread;
    using vt::bench::spreadOf;

    std::printf("Window start in this process (QApplication made in %.1f ms)\n", appMs);
    const WindowStart first = startWindow();
    printWindowStart("first window", first);
    std::vector<double> warm;
    for (int i = 0; i < runs; ++i) {
        const WindowStart s = startWindow();
        printWindowStart(qPrintable(QStringLiteral("again %1").arg(i + 1)), s);
        if (s.paintedMs >= 0) {
            warm.push_back(s.paintedMs);
        }
    }
    const double firstTotal = first.paintedMs < 0 ? -1 : appMs + first.paintedMs;
    std::printf("  main() to the first window painted: %.1f ms, goal < %.0f ms: %s"
                " (ratio %.2f)\n",
                firstTotal, GoalMs, verdict(firstTotal), firstTotal / GoalMs);
    printSpread("later windows, build to paint", spreadOf(warm));

    std::printf("Whole process: this program started with %s, to its window's first paint\n",
                WindowMode);
    std::vector<double> toMain, toApp, toPaint;
    for (int i = 0; i < runs; ++i) {
        const ProcessStart p = startProcess(QCoreApplication::applicationFilePath());
        if (p.toPaintMs < 0) {
            std::printf("  run %d: the child did not show its window\n", i + 1);
            continue;
        }
        toMain.push_back(p.toMainMs);
        toApp.push_back(p.toAppMs);
        toPaint.push_back(p.toPaintMs);
    }
    const auto paintSpread = spreadOf(toPaint);
    printSpread("process start to main()", spreadOf(toMain));
    printSpread("process start to QApplication made", spreadOf(toApp));
    const QString goal = QStringLiteral("goal < %1 ms: worst %2, ratio %3")
                             .arg(GoalMs)
                             .arg(verdict(paintSpread.worst))
                             .arg(paintSpread.worst / GoalMs, 0, 'f', 2);
    printSpread("process start to window painted", paintSpread, qPrintable(goal));

    std::vector<double> listing;
    for (int i = 0; i < runs; ++i) {
        const double ms = listVoicesMs();
        if (ms >= 0) {
            listing.push_back(ms);
        }
    }
    std::printf("Whole process without a window: %s --list-voices\n", VT_VELLUMTONE_PROGRAM);
    printSpread("wall time", spreadOf(listing));
    return 0;
}
