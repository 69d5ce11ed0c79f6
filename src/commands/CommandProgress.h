#pragma once

#include "core/Dialogs.h"
#include "export/ExportJob.h"

#include <QElapsedTimer>
#include <QMutex>

class QTextStream;

namespace vt {

// True when the program's standard error is a terminal.
bool standardErrorIsTerminal();

// "m:ss" (or "h:mm:ss") for a duration in milliseconds.
QString clockText(qint64 milliseconds);

// The progress line's text: parts rendered and encoded of the total, the time
// elapsed and an estimate of the time left (once a part is done). parts is 0
// while the page is being fetched and split.
QString progressText(int rendered, int encoded, int parts, qint64 elapsedMs);

// The export's progress on a terminal: one line, rewritten in place whenever a
// part is rendered or encoded and on each tick. Calls come from any thread.
class TerminalProgress {
  public:
    explicit TerminalProgress(QTextStream& terminal);

    // Callbacks for runExport that keep this line up to date.
    ExportProgress callbacks();
    // Redraws the line (the elapsed time moves on).
    void tick();
    // Clears the line so a message can be written; resume() draws it again.
    void suspend();
    void resume();

  private:
    void update(const std::function<void()>& change);
    void draw();
    void finish();

    QMutex m_mutex;
    QTextStream& m_terminal;
    QElapsedTimer m_clock;
    int m_parts = 0;
    int m_rendered = 0;
    int m_encoded = 0;
    bool m_shown = false;    // the line is on the screen
    bool m_finished = false; // the work is over; the line stays as it was last drawn
};

// Dialogs that clear the progress line before each message and draw it again
// after, so messages never run into it.
class ProgressAwareDialogs final : public DialogsRelay {
  public:
    ProgressAwareDialogs(Dialogs& target, TerminalProgress& progress);

  private:
    void relay(const std::function<void()>& call) override;

    TerminalProgress& m_progress;
};

} // namespace vt
