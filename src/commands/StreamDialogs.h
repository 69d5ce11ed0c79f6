#pragma once

#include "core/Dialogs.h"

#include <QMutex>

class QTextStream;

namespace vt {

// Dialogs for a run without a window: every message is written to a text
// stream, each on its own lines (the report's carriage returns become line
// breaks); questions are answered No and file or folder dialogs give "".
// Safe to call from any thread.
class StreamDialogs final : public Dialogs {
  public:
    explicit StreamDialogs(QTextStream& stream);

    void notice(const QString& text) override;
    bool question(const QString& text) override;
    void errorReport(const QString& text) override;
    QString openFile(const FileDialogRequest& request) override;
    QString saveFile(const FileDialogRequest& request) override;
    QString browseForFolder(const QString& prompt, const QString& startFolder) override;
    bool openUrl(const QString& url) override;

  private:
    void write(const QString& text);

    QMutex m_mutex;
    QTextStream& m_stream;
};

} // namespace vt
