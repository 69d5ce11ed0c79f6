#pragma once

#include "core/Dialogs.h"

#include <QList>
#include <QMutex>
#include <QQueue>
#include <QString>
#include <functional>

namespace vt::test {

// Records everything shown and answers as told. Safe to call from any thread.
class RecordingDialogs : public Dialogs {
  public:
    enum class Kind { Notice, Question, ErrorReport, OpenFile, SaveFile, BrowseFolder, OpenUrl };
    struct Entry {
        Kind kind;
        QString text;  // message text, dialog title, prompt or address
        QString extra; // filters joined by ";;", or the start folder
    };

    bool message(MessageKind kind, const QString& text) override;
    QString chooseFile(FileDialogKind kind, const FileDialogRequest& request) override;
    QString browseForFolder(const QString& prompt, const QString& startFolder) override;
    bool openUrl(const QString& url) override;

    // Called, on the calling thread, for every dialog as it is shown.
    void setObserver(std::function<void(Kind, const QString&)> observer);

    // Answers given in order; when none is queued: No, "" (cancel).
    void queueAnswer(bool yes);
    void queuePath(const QString& path);

    QList<Entry> entries() const;
    QList<Entry> entriesOf(Kind kind) const;
    QStringList textsOf(Kind kind) const;
    int count(Kind kind) const;
    void clear();

  private:
    QString nextPath();
    void record(Kind kind, const QString& text, const QString& extra = {});

    mutable QMutex m_mutex;
    QList<Entry> m_entries;
    std::function<void(Kind, const QString&)> m_observer;
    QQueue<bool> m_answers;
    QQueue<QString> m_paths;
};

} // namespace vt::test
