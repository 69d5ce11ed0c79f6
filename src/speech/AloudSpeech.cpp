#include "AloudSpeech.h"

#include "app/core/Failure.h"

namespace vt {

AloudOutcome speakAloudAndWait(const QString&, const std::shared_ptr<VoiceParameters>&,
                               const std::atomic_bool*) {
    throw Failure(QStringLiteral("Speaking aloud is not built yet."));
}

} // namespace vt
