#pragma once

#include <QString>
#include <QStringList>

namespace vt {

// What an open or save dialog is asked to show.
struct FileDialogRequest {
    QString title;       // empty: the platform's default title
    QStringList filters; // Qt filter strings, e.g. "Text Files (*.txt)"
};

// Everything modal or external goes through this interface: the window uses
// the Qt implementation, tests use one that records and answers.
// Implementations are called on the window thread; ThreadSafeDialogs (below)
// forwards calls made on worker threads.
class Dialogs {
  public:
    virtual ~Dialogs() = default;

    // OK only, no icon, the application title as caption.
    virtual void notice(const QString& text) = 0;
    // Yes and No, no icon, the application title; true for Yes.
    virtual bool question(const QString& text) = 0;
    // The error report box: title "Application Error", warning icon, OK only.
    virtual void errorReport(const QString& text) = 0;
    // The chosen path, or "" when cancelled.
    virtual QString openFile(const FileDialogRequest& request) = 0;
    virtual QString saveFile(const FileDialogRequest& request) = 0;
    // The chosen folder, or "" when cancelled.
    virtual QString browseForFolder(const QString& prompt, const QString& startFolder) = 0;
    // Opens a web address in the user's browser; false when it could not be handed over.
    virtual bool openUrl(const QString& url) = 0;
};

// Forwards every call to the target on the thread the target's dispatcher lives
// on (the window thread) and waits for the answer, so a worker's failing step
// waits at its place until OK is pressed. Calls made on that thread go straight
// through.
class ThreadSafeDialogs final : public Dialogs {
  public:
    explicit ThreadSafeDialogs(Dialogs& target);
    ~ThreadSafeDialogs() override;

    void notice(const QString& text) override;
    bool question(const QString& text) override;
    void errorReport(const QString& text) override;
    QString openFile(const FileDialogRequest& request) override;
    QString saveFile(const FileDialogRequest& request) override;
    QString browseForFolder(const QString& prompt, const QString& startFolder) override;
    bool openUrl(const QString& url) override;

  private:
    template <typename F> auto onTargetThread(F&& call) -> decltype(call());

    Dialogs& m_target;
    class Dispatcher;
    Dispatcher* m_dispatcher;
};

} // namespace vt
