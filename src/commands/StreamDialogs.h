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

    bool message(MessageKind kind, const QString& text) override;
    QString chooseFile(FileDialogKind kind, const FileDialogRequest& request) override;
    QString browseForFolder(const QString& prompt, const QString& startFolder) override;
    bool openUrl(const QString& url) override;

  private:
    void write(const QString& text);

    QMutex m_mutex;
    QTextStream& m_stream;
};

// A command tells every failure on its own streams, on the terminal its
// warnings would go to as well: the program's log categories stay quiet
// there, unless QT_LOGGING_RULES turns them on.
void leaveFailuresToTheStreams();

} // namespace vt
