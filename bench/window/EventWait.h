#pragma once

#include <functional>

namespace vt::bench {

// Runs the event loop, checking every millisecond (a precise timer), until
// done() is true or timeoutMs passes; tick() runs before each check. The
// bench is the driver here, so it may spin the window thread's loop.
bool runEventsUntil(const std::function<bool()>& done, int timeoutMs,
                    const std::function<void()>& tick = nullptr);

// Runs the event loop for that long, with the same ticks.
void runEventsFor(int ms, const std::function<void()>& tick = nullptr);

} // namespace vt::bench
