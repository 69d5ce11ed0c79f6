#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QLoggingCategory;

namespace vt {

// What an open or save dialog is asked to show.
struct FileDialogRequest {
    QString title;       // empty: the platform's default title
    QStringList filters; // Qt filter strings, e.g. "Text Files (*.txt)"
};

// Message texts break lines with CR or CR LF, as the error report does; a
// label or a terminal wants LF. The text with each break made one LF.
QString withLineFeeds(QString text);

// The three message boxes: OK only with no icon, Yes and No with no icon (both
// with the application title as caption), and the error report box (title
// "Application Error", warning icon, OK only).
enum class MessageKind { Notice, Question, ErrorReport };

// The file dialogs: one to open a file, one to save one.
enum class FileDialogKind { Open, Save };

// Everything modal or external goes through this interface: the window uses
// the Qt implementation, tests use one that records and answers. An
// implementation gives the four ways of asking; callers use the named calls.
// Implementations are called on the window thread; ThreadSafeDialogs (below)
// forwards calls made on worker threads.
class Dialogs {
  public:
    virtual ~Dialogs() = default;

    void notice(const QString& text) { message(MessageKind::Notice, text); }
    // True for Yes.
    bool question(const QString& text) { return message(MessageKind::Question, text); }
    void errorReport(const QString& text) { message(MessageKind::ErrorReport, text); }
    // The chosen path, or "" when cancelled.
    QString openFile(const FileDialogRequest& request) {
        return chooseFile(FileDialogKind::Open, request);
    }
    QString saveFile(const FileDialogRequest& request) {
        return chooseFile(FileDialogKind::Save, request);
    }

    // Shows the message box; true only when a question is answered Yes.
    virtual bool message(MessageKind kind, const QString& text) = 0;
    // The chosen path, or "" when cancelled.
    virtual QString chooseFile(FileDialogKind kind, const FileDialogRequest& request) = 0;
    // The chosen folder, or "" when cancelled.
    virtual QString browseForFolder(const QString& prompt, const QString& startFolder) = 0;
    // Opens a web address in the user's browser; false when it could not be handed over.
    virtual bool openUrl(const QString& url) = 0;
};

// Shows a failure as a notice and logs it, as a warning in the caller's
// category, so what the user was told is in the log too.
void noticeFailure(Dialogs& dialogs, const QLoggingCategory& category, const QString& text);

// Hands every call on to a target through one hook, which decides where the
// call runs, or whether it runs at all: a call that does not run answers as a
// cancelled dialog (No, "", false).
class DialogsRelay : public Dialogs {
  public:
    bool message(MessageKind kind, const QString& text) final;
    QString chooseFile(FileDialogKind kind, const FileDialogRequest& request) final;
    QString browseForFolder(const QString& prompt, const QString& startFolder) final;
    bool openUrl(const QString& url) final;

  protected:
    explicit DialogsRelay(Dialogs& target) : m_target(target) {}
    // Runs call, which talks to the target, or drops it.
    virtual void relay(const std::function<void()>& call) = 0;

  private:
    template <typename Result, typename F> Result answer(F&& ask);

    Dialogs& m_target;
};

// Forwards every call to the target on the thread the target's dispatcher lives
// on (the window thread) and waits for the answer, so a worker's failing step
// waits at its place until OK is pressed. Calls made on that thread go straight
// through.
class ThreadSafeDialogs final : public DialogsRelay {
  public:
    explicit ThreadSafeDialogs(Dialogs& target);
    ~ThreadSafeDialogs() override;

  private:
    void relay(const std::function<void()>& call) override;

    class Dispatcher;
    Dispatcher* m_dispatcher;
};

} // namespace vt
