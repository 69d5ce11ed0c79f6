#pragma once

namespace vt {

inline constexpr int MinimumRate = -10;
inline constexpr int MaximumRate = 10;
inline constexpr int MinimumVolume = 0;
inline constexpr int MaximumVolume = 100;

// How the engine realises a rate of -10..10: each step multiplies the speed by
// 3^(1/10) around 175 words per minute. Below the engine's own floor the words
// per minute stay at the floor and the audio is time-stretched instead.
struct EngineRate {
    int wordsPerMinute = 175;
    double stretch = 1.0; // playback speed factor; 1.0 means no stretching
};

// The words per minute a rate stands for (not rounded).
double wordsPerMinuteFor(int rate);
EngineRate engineRateFor(int rate);

} // namespace vt
