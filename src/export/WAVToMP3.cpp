#include "WAVToMP3.h"

#include "Encoder.h"
#include "ShellAndWait.h"
#include "core/ErrorReport.h"
#include "core/Failure.h"
#include "core/FileUtils.h"
#include "core/ProcedureTags.h"

#include <QDir>
#include <QRegularExpression>

namespace vt {

namespace {

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// The encoder's last words: its error output ends with the reason it failed;
// progress lines end in carriage returns, so split on both line ends.
QString lastLine(const QByteArray& errorOutput) {
    const QStringList lines =
        QString::fromLocal8Bit(errorOutput)
            .split(QRegularExpression(QStringLiteral("[\r\n]")), Qt::SkipEmptyParts);
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        const QString trimmed = line->trimmed();
        if (!trimmed.isEmpty()) {
            return trimmed;
        }
    }
    return QString();
}

QString describeOutcome(const QString& program, const ProcessOutcome& outcome,
                        const QString& wavPath) {
    if (!outcome.started) {
        return QStringLiteral("The MP3 encoder \"%1\" could not be started (error %2).")
            .arg(native(program))
            .arg(outcome.exitCode - StartFailureBase);
    }
    QString text = QStringLiteral("The MP3 encoder \"%1\" failed with exit code %2 while "
                                  "encoding \"%3\".")
                       .arg(native(program))
                       .arg(outcome.exitCode)
                       .arg(native(wavPath));
    const QString reason = lastLine(outcome.errorOutput);
    if (!reason.isEmpty()) {
        text += QStringLiteral("\n") + reason;
    }
    return text;
}

} // namespace

void WAVToMP3(const QString& wavPath, const QString& mp3Path, Dialogs& dialogs,
              const std::atomic_bool* cancel) {
    Procedure proc(dialogs, tag::WAVToMP3);
    QString program;
    QStringList arguments;
    proc.step(100, [&] { program = findEncoder(); });
    proc.step(102, [&] { arguments = {QStringLiteral("-h"), wavPath, mp3Path}; });
    // Step 104 put a command line together; the program and its arguments now go
    // to the runner as they are, so no quoting can go wrong.

    if (program.isEmpty()) {
        throw Failure(QStringLiteral("The MP3 encoder \"%1\" was not found. Please install "
                                     "LAME (the Debian package \"lame\").")
                          .arg(QString::fromLatin1(EncoderProgramName)));
    }
    ProcessOutcome outcome;
    proc.step(106, [&] { outcome = runProcess(program, arguments, cancel); });
    if (outcome.cancelled) {
        DeleteFileQuiet(mp3Path);
        return;
    }
    if (!outcome.started || outcome.exitCode != 0) {
        DeleteFileQuiet(mp3Path);
        throw Failure(describeOutcome(program, outcome, wavPath));
    }
    if (!FileExists(mp3Path)) {
        throw Failure(QStringLiteral("The MP3 encoder \"%1\" ended without writing \"%2\".")
                          .arg(native(program), native(mp3Path)));
    }
}

} // namespace vt
