#pragma once

#include <memory>

namespace vt {

class VoiceParameters;

// The rendering voice: it exists from the start of a rendering (or a speed
// test) to its end, and after a rendering whose speech failed until the next
// one starts. The sliders pass volume and rate to it while it exists. All
// functions are thread-safe.
class FileVoice {
  public:
    static bool exists();
    // Reach the voice if one exists; throw Failure for values out of range.
    static void setVolume(int volume);
    static void setRate(int rate);

    // For the renderer: a new voice replaces the previous one.
    static std::shared_ptr<VoiceParameters> create();
    // Releases the voice if it is still the given one.
    static void release(const std::shared_ptr<VoiceParameters>& voice);
};

} // namespace vt
