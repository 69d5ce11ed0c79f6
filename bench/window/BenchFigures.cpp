#include "BenchFigures.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace vt::bench {

qint64 nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

Spread spreadOf(std::vector<double> values) {
    Spread spread;
    spread.count = static_cast<int>(values.size());
    if (values.empty()) {
        return spread;
    }
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    spread.median =
        values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
    spread.worst = values.back();
    return spread;
}

void printSpread(const char* label, const Spread& spread, const char* goal) {
    if (spread.count == 0) {
        std::printf("  %-40s no runs\n", label);
        return;
    }
    std::printf("  %-40s median %7.1f ms, worst %7.1f ms (%d runs)%s%s\n", label, spread.median,
                spread.worst, spread.count, goal ? "  " : "", goal ? goal : "");
}

} // namespace vt::bench
