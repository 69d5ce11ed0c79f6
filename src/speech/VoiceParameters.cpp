#include "VoiceParameters.h"

#include "RateMapping.h"
#include "core/Failure.h"

namespace vt {

void VoiceParameters::setVoice(const QByteArray& identifier) {
    std::lock_guard lock(m_mutex);
    m_voice = identifier;
}

QByteArray VoiceParameters::voice() const {
    std::lock_guard lock(m_mutex);
    return m_voice;
}

void VoiceParameters::setVolume(int volume) {
    if (volume < MinimumVolume || volume > MaximumVolume) {
        throw Failure(QStringLiteral("The volume must lie between %1 and %2; %3 was given.")
                          .arg(MinimumVolume)
                          .arg(MaximumVolume)
                          .arg(volume));
    }
    m_volume.store(volume);
}

void VoiceParameters::setRate(int rate) {
    if (rate < MinimumRate || rate > MaximumRate) {
        throw Failure(QStringLiteral("The speech rate must lie between %1 and %2; %3 was given.")
                          .arg(MinimumRate)
                          .arg(MaximumRate)
                          .arg(rate));
    }
    m_rate.store(rate);
}

} // namespace vt
