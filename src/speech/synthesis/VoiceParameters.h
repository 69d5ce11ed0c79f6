#pragma once

#include <QByteArray>
#include <atomic>
#include <mutex>

namespace vt {

// The voice, volume and rate of one speaking voice. Read by the synthesis
// thread before every chunk, written from any thread, so a change reaches the
// speech that is still to be made.
class VoiceParameters {
  public:
    // "" means the default voice.
    void setVoice(const QByteArray& identifier);
    QByteArray voice() const;

    // Throw Failure outside 0..100 and -10..10.
    void setVolume(int volume);
    void setRate(int rate);
    int volume() const { return m_volume.load(); }
    int rate() const { return m_rate.load(); }

  private:
    mutable std::mutex m_mutex;
    QByteArray m_voice;
    std::atomic_int m_volume{100};
    std::atomic_int m_rate{0};
};

} // namespace vt
