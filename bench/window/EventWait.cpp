#include "EventWait.h"

#include "BenchFigures.h"

#include <QEventLoop>
#include <QTimer>

namespace vt::bench {

bool runEventsUntil(const std::function<bool()>& done, int timeoutMs,
                    const std::function<void()>& tick) {
    const qint64 deadline = nowNs() + static_cast<qint64>(timeoutMs) * 1'000'000;
    auto finished = [&] {
        if (tick) {
            tick();
        }
        return done() || nowNs() >= deadline;
    };
    if (finished()) {
        return done();
    }
    QEventLoop loop;
    QTimer check;
    check.setTimerType(Qt::PreciseTimer);
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (finished()) {
            loop.quit();
        }
    });
    check.start(1);
    loop.exec();
    return done();
}

void runEventsFor(int ms, const std::function<void()>& tick) {
    runEventsUntil([] { return false; }, ms, tick);
}

} // namespace vt::bench
