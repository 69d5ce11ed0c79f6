#include "TimedMonitor.h"

#include "BenchFigures.h"

#include <algorithm>
#include <cstdlib>

namespace vt::bench {

void TimedMonitor::poll() {
    const qsizetype now = m_recorder.sampleCount();
    if (now > m_count) {
        m_count = now;
        m_arrivals.emplace_back(nowNs(), now);
    }
}

qsizetype TimedMonitor::firstAudible(qsizetype from) {
    poll(); // whatever samples() takes in is then timed
    const std::vector<qint16>& samples = m_recorder.samples();
    const auto end = samples.begin() + m_count;
    const auto found = std::find_if(samples.begin() + std::max<qsizetype>(from, 0), end,
                                    [](qint16 s) { return std::abs(s) > Audible; });
    return found == end ? -1 : found - samples.begin();
}

qsizetype TimedMonitor::lastAudible(qsizetype from) {
    poll();
    const std::vector<qint16>& samples = m_recorder.samples();
    for (qsizetype i = m_count - 1; i >= std::max<qsizetype>(from, 0); --i) {
        if (std::abs(samples[static_cast<std::size_t>(i)]) > Audible) {
            return i;
        }
    }
    return -1;
}

bool TimedMonitor::soundingNow() {
    return firstAudible(m_count - SampleRate / 200) >= 0;
}

qint64 TimedMonitor::heardAt(qsizetype index) const {
    const auto block =
        std::upper_bound(m_arrivals.begin(), m_arrivals.end(), index,
                         [](qsizetype i, const std::pair<qint64, qsizetype>& arrival) {
                             return i < arrival.second;
                         });
    if (block == m_arrivals.end()) {
        return -1;
    }
    const qsizetype after = block->second - 1 - index;
    return block->first - after * 1'000'000'000LL / SampleRate;
}

} // namespace vt::bench
