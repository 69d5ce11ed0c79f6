#pragma once

#include "export/LauncherProgress.h"
#include "window/handlers/ReadingController.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QVariantMap>

namespace vt {

class Form1;

inline constexpr char MprisBusName[] = "org.mpris.MediaPlayer2.vellumtone";
inline constexpr char MprisObjectPath[] = "/org/mpris/MediaPlayer2";
inline constexpr const char* DesktopEntryName = DesktopFileId;
// The error a command gets while a message of the reading is open.
inline constexpr char MessageOpenError[] = "example.quillmere.Vellumtone.Error.MessageOpen";

// The window's reading on the desktop bus (MPRIS 2), so media keys and desktop
// players show and drive it. Play, Pause and PlayPause act as a click on the
// reading button would; Stop ends the reading; Next and Previous move it by
// section, and the metadata names the section being heard
// ("vellumtone:section"). While a message of the reading is open, the
// commands and Quit are refused with MessageOpenError: the reading waits at
// that message, and a command queued behind it would act on a reading the
// user can no longer see. Without a bus it does nothing.
// It must go before the window does.
class MprisService : public QObject, public QDBusContext {
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
    bool canGoNext() const;
    bool canGoPrevious() const;
    void play();
    void pause();
    void playPause();
    void stop();
    void next();
    void previous();
    void raise();
    void quit();
    // Whether commands are refused now; a call from the bus then gets
    // MessageOpenError as its answer.
    bool refuse();

  private:
    void readingChanged();
    void announce(const QVariantMap& changed);

    Form1& m_window;
    QDBusConnection m_bus;
    QString m_busName;
    QString m_lastStatus;
    QVariantMap m_lastMetadata;
    bool m_lastCanGoNext = false;
    bool m_lastCanGoPrevious = false;
    int m_readings = 0; // numbers the readings, for their track ids
};

} // namespace vt
