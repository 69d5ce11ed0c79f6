#pragma once

#include "support/AudioServer.h"

#include <QtGlobal>
#include <utility>
#include <vector>

namespace vt::bench {

// What the test null sink plays, heard on its monitor, with the time each
// sample was heard. The recorder delivers blocks; a block's last sample is
// taken as heard when the block arrived, and each earlier one a sample period
// before the next. That removes the block length from the figures but keeps
// the pipe and event-loop delay, so the times are upper bounds.
class TimedMonitor {
  public:
    static constexpr int SampleRate = 22050; // what MonitorRecorder asks for
    static constexpr int Audible = 16;       // |s| above this is sound

    bool start() { return m_recorder.start(); }
    // Takes what has arrived, noting when. Call it often (every tick).
    void poll();

    qsizetype count() const { return m_count; }
    // The first or last audible sample at or after from, or -1.
    qsizetype firstAudible(qsizetype from);
    qsizetype lastAudible(qsizetype from);
    // True when sound is in the newest samples (the last 5 ms that arrived).
    bool soundingNow();
    // When the sample was heard, on the nowNs() clock.
    qint64 heardAt(qsizetype index) const;

  private:
    vt::test::MonitorRecorder m_recorder;
    qsizetype m_count = 0;
    std::vector<std::pair<qint64, qsizetype>> m_arrivals; // time, samples so far
};

} // namespace vt::bench
