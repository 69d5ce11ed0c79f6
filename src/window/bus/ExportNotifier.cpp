#include "ExportNotifier.h"

#include "MprisService.h"
#include "core/Dialogs.h"
#include "window/WindowLog.h"
#include "window/form/Form1.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace vt {

namespace {
const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
const QString Interface = QStringLiteral("org.freedesktop.Notifications");
const QString OpenFolderKey = QStringLiteral("open-folder");
constexpr char NotificationSummary[] = "MP3 file saved";
constexpr char OpenFolderCaption[] = "Open Folder";
} // namespace

ExportNotifier::ExportNotifier(Form1& window, Dialogs& dialogs, QDBusConnection bus)
    : m_dialogs(dialogs), m_bus(std::move(bus)) {
    if (!m_bus.isConnected()) {
        return; // no desktop bus: "Done." alone tells the end
    }
    m_bus.connect(Service, Path, Interface, QStringLiteral("ActionInvoked"), this,
                  SLOT(actionInvoked(uint, QString)));
    m_bus.connect(Service, Path, Interface, QStringLiteral("NotificationClosed"), this,
                  SLOT(notificationClosed(uint, uint)));
    connect(&window, &Form1::exportSaved, this, &ExportNotifier::notify);
}

void ExportNotifier::notify(const QString& mp3Path) {
    const QString file = QDir::toNativeSeparators(mp3Path);
    QDBusMessage call =
        QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("Notify"));
    const QVariantMap hints{
        {QStringLiteral("desktop-entry"), QString::fromLatin1(DesktopEntryName)}};
    call << QStringLiteral("Vellumtone") << uint(0) << QString::fromLatin1(DesktopEntryName)
         << QString::fromLatin1(NotificationSummary) << file
         << QStringList{OpenFolderKey, QString::fromLatin1(OpenFolderCaption)} << hints << -1;
    const QString folder = QFileInfo(mp3Path).absolutePath();
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, folder](QDBusPendingCallWatcher* done) { notified(done, folder); });
}

void ExportNotifier::notified(QDBusPendingCallWatcher* call, const QString& folder) {
    const QDBusPendingReply<uint> reply = *call;
    call->deleteLater();
    if (reply.isError()) {
        // No notification service: the "Done." box has said it already.
        qCDebug(windowLog) << "no desktop notification:" << reply.error().message();
        return;
    }
    m_folders[reply.value()] = folder;
}

void ExportNotifier::actionInvoked(uint id, const QString& actionKey) {
    const auto shown = m_folders.find(id);
    if (shown == m_folders.end() || actionKey != OpenFolderKey) {
        return; // another program's notice, or another action
    }
    if (!m_dialogs.openUrl(QUrl::fromLocalFile(shown->second).toString())) {
        qCWarning(windowLog) << "the folder" << shown->second << "could not be opened";
    }
}

void ExportNotifier::notificationClosed(uint id, uint) {
    m_folders.erase(id);
}

} // namespace vt
