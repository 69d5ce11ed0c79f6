#pragma once

namespace vt {

// What the window hands to a rendering or a speed test: the voice list
// position (-1 for none: the default voice), the volume 0..100 and the rate
// -10..10, as the controls show them when the work starts.
struct VoiceChoice {
    int position = -1;
    int volume = 50;
    int rate = 0;
};

} // namespace vt
