#pragma once

#include "sources/fetch/PageTransfer.h"

#include <QFuture>
#include <atomic>
#include <chrono>
#include <memory>
#include <stop_token>

namespace vt {

// Page transfers run on one thread of their own, started on first use and
// running its event loop until the program ends, so whoever waits for a
// transfer needs no event loop of its own.

// Starts fetching the address on that thread. The future finishes with the
// fetched page, or with no result when a stop is requested first.
QFuture<FetchedPage> startPageTransfer(const QString& address, const PageFetchLimits& limits,
                                       std::stop_token stop);

// Sets the flag at the given time, from that thread's event loop: a read's
// time limit, for what it does with the body after the transfer.
void raiseFlagAt(std::shared_ptr<std::atomic_bool> flag,
                 std::chrono::steady_clock::time_point when);

} // namespace vt
