#pragma once

#include "speech/engine/SpeechEngine.h"

#include <QByteArray>
#include <QStringList>
#include <vector>

namespace vt {

// The voices in the one order every part of the program uses: the voice for
// the user's language first, then the others in the engine's order. A
// position in this order is the only link between the voice list and a voice.
// A snapshot: it changes only when refreshed ("Refresh List"), and a copy can
// go with a job to another thread. The engine it names must outlive it.
class VoiceCatalogue {
  public:
    explicit VoiceCatalogue(SpeechEngine& engine) : m_engine(&engine) {}

    // Reads the engine's voices again. Throws Failure when the engine cannot start.
    void refresh();

    SpeechEngine& engine() const { return *m_engine; }
    // The list texts.
    QStringList voiceNames() const;
    const std::vector<VoiceEntry>& voices() const { return m_voices; }
    // Throws Failure when no voice has that position.
    VoiceEntry voiceAt(int position) const;
    // The voice used when none is chosen.
    QByteArray defaultVoiceIdentifier() const { return m_defaultVoice; }

    // The language tag of the user's locale, e.g. "en-us"; "en" for the C locale.
    static QByteArray userLanguage();

  private:
    SpeechEngine* m_engine;
    std::vector<VoiceEntry> m_voices;
    QByteArray m_defaultVoice;
};

} // namespace vt
