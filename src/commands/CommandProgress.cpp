#include "CommandProgress.h"

#include <QMutexLocker>
#include <QTextStream>
#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace vt {

namespace {
// Carriage return, then erase to the end of the line.
constexpr char ClearLine[] = "\r\x1b[K";
} // namespace

bool standardErrorIsTerminal() {
#ifdef Q_OS_WIN
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(STDERR_FILENO) != 0;
#endif
}

QString clockText(qint64 milliseconds) {
    const qint64 seconds = qMax<qint64>(0, milliseconds / 1000);
    const qint64 hours = seconds / 3600;
    const QString minutesAndSeconds = QStringLiteral("%1:%2")
                                          .arg(hours > 0 ? (seconds / 60) % 60 : seconds / 60,
                                               hours > 0 ? 2 : 1, 10, QLatin1Char('0'))
                                          .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return hours > 0 ? QStringLiteral("%1:%2").arg(hours).arg(minutesAndSeconds)
                     : minutesAndSeconds;
}

QString progressText(int rendered, int encoded, int parts, qint64 elapsedMs) {
    const QString elapsed = clockText(elapsedMs) + QStringLiteral(" elapsed");
    if (parts < 1) {
        return QStringLiteral("Fetching the page, %1").arg(elapsed);
    }
    QString text = QStringLiteral("Parts rendered %1/%3, encoded %2/%3, %4")
                       .arg(rendered)
                       .arg(encoded)
                       .arg(parts)
                       .arg(elapsed);
    // Each part is rendered, then encoded: 2 x parts steps in all.
    const qint64 done = rendered + encoded;
    const qint64 total = 2LL * parts;
    if (done > 0 && done < total) {
        text += QStringLiteral(", about %1 left").arg(clockText(elapsedMs * (total - done) / done));
    }
    return text;
}

TerminalProgress::TerminalProgress(QTextStream& terminal) : m_terminal(terminal) {
    m_clock.start();
}

ExportProgress TerminalProgress::callbacks() {
    ExportProgress progress;
    progress.workStarts = [this] { update([] {}); };
    progress.partsKnown = [this](int parts) { update([this, parts] { m_parts = parts; }); };
    progress.partRendered = [this](int) { update([this] { ++m_rendered; }); };
    progress.partEncoded = [this](int) { update([this] { ++m_encoded; }); };
    progress.workEnds = [this] { finish(); };
    return progress;
}

void TerminalProgress::update(const std::function<void()>& change) {
    QMutexLocker lock(&m_mutex);
    change();
    draw();
}

void TerminalProgress::tick() {
    QMutexLocker lock(&m_mutex);
    if (m_shown) {
        draw();
    }
}

void TerminalProgress::draw() {
    if (m_finished) {
        return;
    }
    m_terminal << ClearLine << progressText(m_rendered, m_encoded, m_parts, m_clock.elapsed());
    m_terminal.flush();
    m_shown = true;
}

void TerminalProgress::finish() {
    QMutexLocker lock(&m_mutex);
    if (m_shown && !m_finished) {
        draw(); // the final figures
        m_terminal << '\n';
        m_terminal.flush();
    }
    m_finished = true;
    m_shown = false;
}

void TerminalProgress::suspend() {
    m_mutex.lock(); // held until resume(), so nothing draws over the message
    if (m_shown) {
        m_terminal << ClearLine;
        m_terminal.flush();
    }
}

void TerminalProgress::resume() {
    if (m_shown) {
        draw();
    }
    m_mutex.unlock();
}

ProgressAwareDialogs::ProgressAwareDialogs(Dialogs& target, TerminalProgress& progress)
    : DialogsRelay(target), m_progress(progress) {}

void ProgressAwareDialogs::relay(const std::function<void()>& call) {
    m_progress.suspend();
    struct Resume {
        TerminalProgress& progress;
        ~Resume() { progress.resume(); }
    } resume{m_progress};
    call();
}

} // namespace vt
