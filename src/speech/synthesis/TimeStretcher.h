#pragma once

#include "speech/engine/SpeechEngine.h"

#include <vector>

struct sonicStreamStruct;

namespace vt {

// Slows speech down below the engine's slowest rate, keeping its pitch.
// At speed 1.0 the samples pass straight through.
class TimeStretcher final : public SampleReceiver {
  public:
    explicit TimeStretcher(SampleReceiver& output);
    ~TimeStretcher() override;
    TimeStretcher(const TimeStretcher&) = delete;
    TimeStretcher& operator=(const TimeStretcher&) = delete;

    // Takes effect for the samples that follow; what is held back is sent first.
    void setSpeed(double speed);
    void receive(const qint16* samples, qsizetype count) override;
    // Sends everything still held back.
    void flush();

  private:
    void drain();

    SampleReceiver& m_output;
    sonicStreamStruct* m_stream = nullptr;
    double m_speed = 1.0;
    std::vector<short> m_buffer;
};

} // namespace vt
