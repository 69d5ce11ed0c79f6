#include "RateMapping.h"

#include <cmath>

namespace vt {

namespace {
constexpr double NormalWordsPerMinute = 175.0;
constexpr int EngineFloorWordsPerMinute = 80;
} // namespace

double wordsPerMinuteFor(int rate) {
    return NormalWordsPerMinute * std::pow(3.0, rate / 10.0);
}

EngineRate engineRateFor(int rate) {
    const double wpm = wordsPerMinuteFor(rate);
    if (wpm < EngineFloorWordsPerMinute) {
        return {EngineFloorWordsPerMinute, wpm / EngineFloorWordsPerMinute};
    }
    return {static_cast<int>(std::lround(wpm)), 1.0};
}

} // namespace vt
