#pragma once

#include "VoiceChoice.h"

#include <functional>
#include <memory>

namespace vt {

class Procedure;
class VoiceCatalogue;
class VoiceParameters;

// The numbers a procedure's report shows for the steps of the voice set-up.
struct VoiceSetUpSteps {
    int create = 0;
    int choose = 0;
    int volume = 0;
    int rate = 0;
};

// Sets up the chosen voice under a procedure's numbered steps: makes it, chooses it by
// list position (none for -1), then sets volume and rate. make makes the voice and
// returns its parameters; the default checks that the engine starts and makes fresh
// ones. A failed step is reported and the set-up goes on, as the procedure does; a
// step after a failed make fails too. goOn, asked after each step with the parameters
// (null when none were made), ends the set-up when false. Returns the parameters.
std::shared_ptr<VoiceParameters>
setUpVoice(Procedure& steps, const VoiceSetUpSteps& numbers, const VoiceCatalogue& voices,
           const VoiceChoice& choice,
           const std::function<bool(const std::shared_ptr<VoiceParameters>&)>& goOn,
           const std::function<std::shared_ptr<VoiceParameters>()>& make = {});

} // namespace vt
