#include "core/InterruptCancels.h"

#include <csignal>

namespace vt {

namespace {

std::atomic_bool interrupted{false};
static_assert(std::atomic_bool::is_always_lock_free, "set from a signal handler");

extern "C" void raiseInterruptFlag(int) {
    interrupted = true;
}

} // namespace

InterruptCancels::InterruptCancels() {
    interrupted = false;
    m_int = std::signal(SIGINT, raiseInterruptFlag);
    m_term = std::signal(SIGTERM, raiseInterruptFlag);
}

InterruptCancels::~InterruptCancels() {
    std::signal(SIGINT, m_int);
    std::signal(SIGTERM, m_term);
}

const std::atomic_bool& InterruptCancels::flag() const {
    return interrupted;
}

} // namespace vt
