#include "sources/html/RenderStop.h"

#include "core/Failure.h"

namespace vt {

namespace {

constexpr unsigned CheckInterval = 256;

thread_local const std::atomic_bool* currentStop = nullptr;
thread_local unsigned callsSinceCheck = 0;

} // namespace

RenderStopScope::RenderStopScope(const std::atomic_bool* stop) : m_outer(currentStop) {
    currentStop = stop;
}

RenderStopScope::~RenderStopScope() {
    currentStop = m_outer;
}

void checkRenderStop() {
    if (currentStop && ++callsSinceCheck >= CheckInterval) {
        callsSinceCheck = 0;
        if (currentStop->load(std::memory_order_relaxed)) {
            throw Failure(QStringLiteral("making its text was stopped"));
        }
    }
}

} // namespace vt
