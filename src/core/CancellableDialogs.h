#pragma once

#include "core/Dialogs.h"

#include <atomic>

namespace vt {

// Passes every call on to target until the flag is raised; from then on nothing
// is shown and each call gives the answer of a cancelled dialog (No, "").
// Lets a cancelled export wind down without waiting on a window that is closing.
class CancellableDialogs final : public Dialogs {
  public:
    CancellableDialogs(Dialogs& target, const std::atomic_bool& cancelled);

    void notice(const QString& text) override;
    bool question(const QString& text) override;
    void errorReport(const QString& text) override;
    QString openFile(const FileDialogRequest& request) override;
    QString saveFile(const FileDialogRequest& request) override;
    QString browseForFolder(const QString& prompt, const QString& startFolder) override;
    bool openUrl(const QString& url) override;

  private:
    bool open() const { return !m_cancelled.load(); }

    Dialogs& m_target;
    const std::atomic_bool& m_cancelled;
};

} // namespace vt
