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

namespace {

int checkedValue(const char* what, int value, int lowest, int highest) {
    if (value < lowest || value > highest) {
        throw Failure(QStringLiteral("The %1 must lie between %2 and %3; %4 was given.")
                          .arg(QLatin1String(what))
                          .arg(lowest)
                          .arg(highest)
                          .arg(value));
    }
    return value;
}

} // namespace

void VoiceParameters::setVolume(int volume) {
    m_volume.store(checkedValue("volume", volume, MinimumVolume, MaximumVolume));
}

void VoiceParameters::setRate(int rate) {
    m_rate.store(checkedValue("speech rate", rate, MinimumRate, MaximumRate));
}

} // namespace vt
