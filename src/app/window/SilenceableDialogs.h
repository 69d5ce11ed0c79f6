#pragma once

#include "app/core/Dialogs.h"

#include <atomic>

namespace vt {

// Forwards to the window's dialogs until silenced; once the window is closing,
// work that is being wound down shows nothing more and gets default answers.
class SilenceableDialogs final : public Dialogs {
  public:
    explicit SilenceableDialogs(Dialogs& target) : m_target(target) {}
    void silence() { m_silenced = true; }

    void notice(const QString& text) override;
    bool question(const QString& text) override;
    void errorReport(const QString& text) override;
    QString openFile(const FileDialogRequest& request) override;
    QString saveFile(const FileDialogRequest& request) override;
    QString browseForFolder(const QString& prompt, const QString& startFolder) override;
    bool openUrl(const QString& url) override;

  private:
    Dialogs& m_target;
    std::atomic_bool m_silenced = false;
};

} // namespace vt
