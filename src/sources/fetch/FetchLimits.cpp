#include "sources/fetch/FetchLimits.h"

#include <QMutex>

namespace vt {

namespace {

QMutex defaultsMutex;
PageFetchLimits defaults;

} // namespace

PageFetchLimits defaultPageFetchLimits() {
    QMutexLocker lock(&defaultsMutex);
    return defaults;
}

void setDefaultPageFetchLimits(const PageFetchLimits& limits) {
    QMutexLocker lock(&defaultsMutex);
    defaults = limits;
}

QString timeLimitReason(std::chrono::milliseconds time) {
    const auto ms = time.count();
    const QString seconds = ms % 1000 == 0
                                ? QString::number(ms / 1000)
                                : QString::number(static_cast<double>(ms) / 1000.0, 'g', 3);
    return QStringLiteral("no complete answer within %1 seconds").arg(seconds);
}

} // namespace vt
