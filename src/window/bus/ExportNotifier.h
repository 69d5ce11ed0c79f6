#pragma once

#include <QDBusConnection>
#include <QObject>
#include <map>

class QDBusPendingCallWatcher;

namespace vt {

class Dialogs;
class Form1;

// Tells the desktop (org.freedesktop.Notifications) when an export of the
// window has made its file, so the end is seen when the window is not in
// front: the notice names the file and offers "Open Folder", which opens the
// file's folder through dialogs. Without a bus it does nothing. No call waits
// for the bus. It must go before the window does.
class ExportNotifier : public QObject {
    Q_OBJECT
  public:
    ExportNotifier(Form1& window, Dialogs& dialogs, QDBusConnection bus);

    bool isActive() const { return m_bus.isConnected(); }

  private slots:
    void actionInvoked(uint id, const QString& actionKey);
    void notificationClosed(uint id, uint reason);

  private:
    void notify(const QString& mp3Path);
    void notified(QDBusPendingCallWatcher* call, const QString& folder);

    Dialogs& m_dialogs;
    QDBusConnection m_bus;
    std::map<uint, QString> m_folders; // each notice shown, with the folder it opens
};

} // namespace vt
