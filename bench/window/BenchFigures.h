#pragma once

#include <QtGlobal>
#include <vector>

namespace vt::bench {

// Nanoseconds on the steady clock; every figure is a difference of two.
qint64 nowNs();

inline double toMs(qint64 ns) {
    return static_cast<double>(ns) / 1e6;
}

// The middle and the worst (largest) of repeated measurements.
struct Spread {
    double median = 0;
    double worst = 0;
    int count = 0;
};
Spread spreadOf(std::vector<double> values);

// "median 12.3 ms, worst 15.0 ms (5 runs)", or "no runs".
void printSpread(const char* label, const Spread& spread, const char* goal = nullptr);

} // namespace vt::bench
