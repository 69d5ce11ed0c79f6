#pragma once

#include "core/Dialogs.h"

class QWidget;

namespace vt {

// The window's dialogs: message boxes, file dialogs, the folder chooser and
// the desktop's browser. Message boxes carry the application title.
class QtDialogs final : public Dialogs {
  public:
    explicit QtDialogs(QWidget* owner = nullptr) : m_owner(owner) {}
    void setOwner(QWidget* owner) { m_owner = owner; }

    bool message(MessageKind kind, const QString& text) override;
    QString chooseFile(FileDialogKind kind, const FileDialogRequest& request) override;
    QString browseForFolder(const QString& prompt, const QString& startFolder) override;
    bool openUrl(const QString& url) override;

  private:
    QWidget* m_owner;
};

// The application title every message box without a title of its own carries.
QString applicationTitle();

} // namespace vt
