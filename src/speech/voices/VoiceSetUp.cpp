#include "VoiceSetUp.h"

#include "VoiceCatalogue.h"
#include "core/ErrorReport.h"
#include "core/Failure.h"
#include "speech/engine/SpeechEngine.h"
#include "speech/synthesis/VoiceParameters.h"

namespace vt {

std::shared_ptr<VoiceParameters>
setUpVoice(Procedure& steps, const VoiceSetUpSteps& numbers, const VoiceCatalogue& voices,
           const VoiceChoice& choice,
           const std::function<bool(const std::shared_ptr<VoiceParameters>&)>& goOn,
           const std::function<std::shared_ptr<VoiceParameters>()>& make) {
    std::shared_ptr<VoiceParameters> voice;
    const auto made = [&]() -> VoiceParameters& {
        if (!voice) {
            throw Failure(QStringLiteral("Object variable or With block variable not set"));
        }
        return *voice;
    };
    steps.step(numbers.create, [&] {
        if (make) {
            voice = make();
        } else {
            voices.engine().checkStarted();
            voice = std::make_shared<VoiceParameters>();
        }
    });
    if (!goOn(voice)) {
        return voice;
    }
    if (choice.position != -1) {
        steps.step(numbers.choose,
                   [&] { made().setVoice(voices.voiceAt(choice.position).identifier); });
        if (!goOn(voice)) {
            return voice;
        }
    }
    steps.step(numbers.volume, [&] { made().setVolume(choice.volume); });
    if (!goOn(voice)) {
        return voice;
    }
    steps.step(numbers.rate, [&] { made().setRate(choice.rate); });
    goOn(voice);
    return voice;
}

} // namespace vt
