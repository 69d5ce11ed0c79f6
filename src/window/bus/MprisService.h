#pragma once

#include "window/handlers/ReadingController.h"

#include <QDBusConnection>
#include <QObject>
#include <QVariantMap>

namespace vt {

class Form1;

inline constexpr char MprisBusName[] = "org.mpris.MediaPlayer2.vellumtone";
inline constexpr char MprisObjectPath[] = "/org/mpris/MediaPlayer2";
inline constexpr char DesktopEntryName[] = "example.quillmere.Vellumtone";

// The window's reading on the desktop bus (MPRIS 2), so media keys and desktop
// players show and drive it. Play, Pause and PlayPause act as a click on the
// reading button would; Stop ends the reading. Without a bus it does nothing.
// It must go before the window does.
class MprisService : public QObject {
    Q_OBJECT
  public:
    MprisService(Form1& window, QDBusConnection bus);
    ~MprisService() override;

    // Whether the player is on the bus, and under which name.
    bool isRegistered() const { return !m_busName.isEmpty(); }
    QString busName() const { return m_busName; }

    // What the adaptors report and do.
    QString playbackStatus() const;
    QVariantMap metadata() const;
    double volume() const;
    void play();
    void pause();
    void playPause();
    void stop();
    void raise();
    void quit();

  private:
    void readingChanged();
    void announce(const QVariantMap& changed);

    Form1& m_window;
    QDBusConnection m_bus;
    QString m_busName;
    QString m_lastStatus;
    QVariantMap m_lastMetadata;
    int m_readings = 0; // numbers the readings, for their track ids
};

} // namespace vt
