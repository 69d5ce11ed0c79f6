#pragma once

#include "ExportJob.h"

#include <QDBusConnection>
#include <QString>
#include <memory>

namespace vt {

// The program's desktop file id, which docks and task managers know it by.
inline constexpr char DesktopFileId[] = "example.quillmere.Vellumtone";

// An export's progress on the desktop's task-manager entry: the LauncherEntry
// "Update" signal that KDE Plasma's task manager and GNOME's docks read. While
// the work runs it shows the share of the parts rendered and encoded (0..1);
// at its end the progress is hidden. Without a bus it sends nothing. Copies
// share one entry; its calls may come from any thread.
class LauncherProgress {
  public:
    explicit LauncherProgress(QDBusConnection bus,
                              const QString& desktopFileId = QString::fromLatin1(DesktopFileId));

    bool isConnected() const;
    // The entry's address: "application://" + desktop file id + ".desktop".
    QString applicationUri() const;
    // The object path the signal comes from, one per application.
    static QString objectPath(const QString& applicationUri);

    // progress with the calls that publish it added; what it did before it
    // still does first. Each job begins the entry afresh.
    ExportProgress attachTo(ExportProgress progress) const;

  private:
    struct Entry;
    std::shared_ptr<Entry> m_entry;
};

} // namespace vt
