#pragma once

#include <functional>
#include <stop_token>

namespace vt {

// Runs work on a worker thread and waits for it. Ctrl+C (SIGINT) and
// SIGTERM meanwhile request a stop through work's token, so the work can end
// cleanly; the previous handlers come back afterwards. The waiting thread
// sleeps until either happens, waking every tickMs to call tick when one is
// given. For a program without a window.
void runInterruptibly(const std::function<void(std::stop_token)>& work,
                      const std::function<void()>& tick = {}, int tickMs = 500);

} // namespace vt
