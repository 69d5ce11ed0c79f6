#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <atomic>

namespace vt {

// Added to the error number of a start failure, as the result of ShellAndWait
// (hexadecimal 80040000 as a 32-bit value).
inline constexpr int StartFailureBase = -2147221504;

// Error numbers of a start failure.
inline constexpr int ErrorFileNotFound = 53;     // no such program
inline constexpr int ErrorPermissionDenied = 70; // not executable, or a folder
inline constexpr int ErrorCannotStart = 5;       // any other reason the start failed

// Window styles are the show-window values 0..6; anything else (or none) is 6.
// A child on Linux has no window, so the style is only validated.
inline constexpr int DefaultWindowStyle = 6;
int clampWindowStyle(int windowStyle);

// What a finished child left behind.
struct ProcessOutcome {
    int exitCode = 0;       // exit code; 128 + signal for a child killed by a signal;
                            // StartFailureBase + error number when it did not start
    bool started = false;   // false: the start failed
    bool cancelled = false; // the cancel flag was raised and the child was killed
    QByteArray errorOutput; // the last few KB the child wrote to its error output
};

// Starts program with its arguments (each handed over as one argument, never
// through a shell), waits for its end and tells how it ended. Blocking: for
// worker threads only. When *cancel becomes true the child is killed. Never throws.
ProcessOutcome runProcess(const QString& program, const QStringList& arguments,
                          const std::atomic_bool* cancel = nullptr);

// The quiet process runner: the exit code of the ended child (see ProcessOutcome),
// or, when it could not start, its error number plus StartFailureBase. Blocking:
// for worker threads only. Never throws.
int ShellAndWait(const QString& program, const QStringList& arguments,
                 int windowStyle = DefaultWindowStyle, const std::atomic_bool* cancel = nullptr);

} // namespace vt
