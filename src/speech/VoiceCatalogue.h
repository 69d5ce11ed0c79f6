#pragma once

#include "SpeechEngine.h"

#include <QByteArray>
#include <QStringList>
#include <vector>

namespace vt {

// The voices in the one order every part of the program uses: the voice for
// the user's language first, then the others in the engine's order. A
// position in this order is the only link between the voice list and a voice.
class VoiceCatalogue {
  public:
    // The list texts. Throws Failure when the engine cannot start.
    static QStringList voiceNames();
    static std::vector<VoiceEntry> voices();
    // Throws Failure when no voice has that position (any more).
    static VoiceEntry voiceAt(int position);
    // The voice used when none is chosen.
    static QByteArray defaultVoiceIdentifier();
    // The language tag of the user's locale, e.g. "en-us"; "en" for the C locale.
    static QByteArray userLanguage();
};

} // namespace vt
