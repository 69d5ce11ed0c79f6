#include "ShellAndWait.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace vt {

namespace {

// How long one wait lasts before the cancel flag is looked at again.
constexpr int WaitSliceMs = 50;
// How much of the child's error output is kept for a failure description.
constexpr qsizetype ErrorTailBytes = 4096;

void keepTail(QByteArray& tail, const QByteArray& more) {
    tail += more;
    if (tail.size() > ErrorTailBytes) {
        tail = tail.right(ErrorTailBytes);
    }
}

// QProcess does not tell why exec failed, so look at the program the way the
// start did: missing, not runnable, or something else.
int startErrorNumber(const QString& program) {
    if (program.isEmpty()) {
        return ErrorCannotStart;
    }
    const QString resolved =
        program.contains(u'/') ? program : QStandardPaths::findExecutable(program);
    if (resolved.isEmpty()) {
        return ErrorFileNotFound;
    }
    const QFileInfo info(resolved);
    if (!info.exists()) {
        return ErrorFileNotFound;
    }
    if (info.isDir() || !info.isExecutable()) {
        return ErrorPermissionDenied;
    }
    return ErrorCannotStart;
}

bool cancelled(const std::atomic_bool* cancel) {
    return cancel != nullptr && cancel->load();
}

} // namespace

int clampWindowStyle(int windowStyle) {
    return windowStyle < 0 || windowStyle > 6 ? DefaultWindowStyle : windowStyle;
}

ProcessOutcome runProcess(const QString& program, const QStringList& arguments,
                          const std::atomic_bool* cancel) {
    ProcessOutcome outcome;
    try {
        QProcess process;
        process.setProgram(program);
        process.setArguments(arguments);
        process.setStandardInputFile(QProcess::nullDevice());
        process.setStandardOutputFile(QProcess::nullDevice());
        if (!program.isEmpty()) {
            process.start();
        }
        if (program.isEmpty() || !process.waitForStarted(-1)) {
            outcome.exitCode = StartFailureBase + startErrorNumber(program);
            return outcome;
        }
        outcome.started = true;
        while (process.state() != QProcess::NotRunning) {
            if (cancelled(cancel)) {
                process.kill();
                process.waitForFinished(-1);
                outcome.cancelled = true;
                break;
            }
            process.waitForFinished(WaitSliceMs);
            keepTail(outcome.errorOutput, process.readAllStandardError());
        }
        keepTail(outcome.errorOutput, process.readAllStandardError());
        // A child ended by a signal reports the signal number; tell it apart
        // from an ordinary exit code the way a shell does.
        outcome.exitCode = process.exitStatus() == QProcess::CrashExit ? 128 + process.exitCode()
                                                                       : process.exitCode();
    } catch (...) {
        // Quiet by contract: whatever went wrong, the caller gets a result.
        if (!outcome.started) {
            outcome.exitCode = StartFailureBase + ErrorCannotStart;
        }
    }
    return outcome;
}

int ShellAndWait(const QString& program, const QStringList& arguments, int windowStyle,
                 const std::atomic_bool* cancel) {
    // No window on this platform: the style is validated and otherwise unused.
    static_cast<void>(clampWindowStyle(windowStyle));
    return runProcess(program, arguments, cancel).exitCode;
}

} // namespace vt
