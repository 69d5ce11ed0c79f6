#include "VoiceCatalogue.h"

#include "core/Failure.h"

#include <QLocale>
#include <algorithm>

namespace vt {

namespace {

// Used when the engine has no voice at all for the user's language.
constexpr char FallbackVoice[] = "gmw/en";

// The voices with the user's language voice moved to the front, and whether
// there is such a voice.
struct OrderedVoices {
    std::vector<VoiceEntry> voices;
    bool languageVoiceFirst = false;
};

OrderedVoices orderVoices() {
    const QByteArray language = VoiceCatalogue::userLanguage();
    SpeechEngine& engine = SpeechEngine::instance();
    VoiceListing listing = engine.listVoices(language);
    if (listing.bestForLanguage.isEmpty() && language.contains('-')) {
        listing.bestForLanguage =
            engine.listVoices(language.left(language.indexOf('-'))).bestForLanguage;
    }
    auto best = std::find_if(listing.voices.begin(), listing.voices.end(), [&](const auto& v) {
        return v.identifier == listing.bestForLanguage;
    });
    const bool found = best != listing.voices.end();
    if (found) {
        std::rotate(listing.voices.begin(), best, best + 1);
    }
    return {std::move(listing.voices), found};
}

std::vector<VoiceEntry> orderedVoices() {
    return orderVoices().voices;
}

} // namespace

QByteArray VoiceCatalogue::userLanguage() {
    const QLocale locale;
    if (locale.language() == QLocale::C) {
        return QByteArrayLiteral("en");
    }
    return locale.name().toLower().replace(u'_', u'-').toLatin1();
}

std::vector<VoiceEntry> VoiceCatalogue::voices() {
    return orderedVoices();
}

QStringList VoiceCatalogue::voiceNames() {
    QStringList names;
    for (const VoiceEntry& voice : orderedVoices()) {
        names.append(voice.name);
    }
    return names;
}

VoiceEntry VoiceCatalogue::voiceAt(int position) {
    const std::vector<VoiceEntry> all = orderedVoices();
    if (position < 0 || static_cast<std::size_t>(position) >= all.size()) {
        throw Failure(QStringLiteral("There is no voice at position %1 of the voice list (%2 "
                                     "voices are installed). Press \"Refresh List\" and choose "
                                     "a voice again.")
                          .arg(position)
                          .arg(all.size()));
    }
    return all[static_cast<std::size_t>(position)];
}

QByteArray VoiceCatalogue::defaultVoiceIdentifier() {
    const OrderedVoices ordered = orderVoices();
    if (ordered.languageVoiceFirst || ordered.voices.empty()) {
        return ordered.voices.empty() ? QByteArray(FallbackVoice)
                                      : ordered.voices.front().identifier;
    }
    const bool fallbackListed =
        std::any_of(ordered.voices.begin(), ordered.voices.end(),
                    [](const VoiceEntry& v) { return v.identifier == FallbackVoice; });
    return fallbackListed ? QByteArray(FallbackVoice) : ordered.voices.front().identifier;
}

} // namespace vt
