#include "VoiceCatalogue.h"

#include "core/Failure.h"
#include "speech/SpeechLog.h"

#include <QLocale>
#include <algorithm>

namespace vt {

namespace {

// Used when the engine has no voice at all for the user's language.
constexpr char FallbackVoice[] = "gmw/en";

} // namespace

QByteArray VoiceCatalogue::userLanguage() {
    const QLocale locale;
    if (locale.language() == QLocale::C) {
        return QByteArrayLiteral("en");
    }
    return locale.name().toLower().replace(u'_', u'-').toLatin1();
}

void VoiceCatalogue::refresh() {
    const QByteArray language = userLanguage();
    VoiceListing listing = m_engine->listVoices(language);
    if (listing.bestForLanguage.isEmpty() && language.contains('-')) {
        listing.bestForLanguage =
            m_engine->listVoices(language.left(language.indexOf('-'))).bestForLanguage;
    }
    auto& voices = listing.voices;
    auto best = std::find_if(voices.begin(), voices.end(), [&](const VoiceEntry& v) {
        return v.identifier == listing.bestForLanguage;
    });
    const bool languageVoiceFirst = best != voices.end();
    if (languageVoiceFirst) {
        std::rotate(voices.begin(), best, best + 1);
    }
    const bool fallbackListed = std::any_of(voices.begin(), voices.end(), [](const VoiceEntry& v) {
        return v.identifier == FallbackVoice;
    });
    if (voices.empty() || (!languageVoiceFirst && fallbackListed)) {
        m_defaultVoice = QByteArray(FallbackVoice);
    } else {
        m_defaultVoice = voices.front().identifier;
    }
    m_voices = std::move(voices);
    qCDebug(speechLog) << "voice list for" << language << ":" << m_voices.size()
                       << "voices, default" << m_defaultVoice;
}

QStringList VoiceCatalogue::voiceNames() const {
    QStringList names;
    for (const VoiceEntry& voice : m_voices) {
        names.append(voice.name);
    }
    return names;
}

VoiceEntry VoiceCatalogue::voiceAt(int position) const {
    if (position < 0 || static_cast<std::size_t>(position) >= m_voices.size()) {
        throw Failure(QStringLiteral("There is no voice at position %1 of the voice list (%2 "
                                     "voices are installed). Press \"Refresh List\" and choose "
                                     "a voice again.")
                          .arg(position)
                          .arg(m_voices.size()));
    }
    return m_voices[static_cast<std::size_t>(position)];
}

} // namespace vt
