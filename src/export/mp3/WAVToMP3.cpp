#include "WAVToMP3.h"

#include "Encoder.h"
#include "Mp3StreamCheck.h"
#include "core/files/FileUtils.h"
#include "export/ExportLog.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QPromise>
#include <QRegularExpression>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>

namespace vt {

namespace {

// How much of the encoder's error output is kept for a failure description.
constexpr qsizetype ErrorTailBytes = 4096;

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

// One run of the encoder. Every way it can end (finished, crashed, killed,
// never started) goes through end(), which keeps only the first.
class EncoderRun : public QObject {
  public:
    EncoderRun(QString program, QString wavPath, QString mp3Path, std::stop_token cancel,
               std::chrono::milliseconds stallLimit)
        : m_program(std::move(program)), m_wavPath(std::move(wavPath)),
          m_mp3Path(std::move(mp3Path)), m_stallLimit(stallLimit) {
        m_process.setProgram(m_program);
        m_process.setArguments({QStringLiteral("-h"), m_wavPath, m_mp3Path});
        m_process.setStandardInputFile(QProcess::nullDevice());
        m_process.setStandardOutputFile(QProcess::nullDevice());
        connect(&m_process, &QProcess::readyReadStandardError, this, [this] {
            m_errorTail += m_process.readAllStandardError();
            if (m_errorTail.size() > ErrorTailBytes) {
                m_errorTail = m_errorTail.right(ErrorTailBytes);
            }
        });
        connect(&m_process, &QProcess::finished, this, &EncoderRun::onFinished);
        connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart) {
                end(failure(QStringLiteral("The MP3 encoder \"%1\" could not be started: %2")
                                .arg(native(m_program), m_process.errorString())));
            }
        });
        // An encoder whose output stops growing and that does not end is stuck:
        // a look now and then at the output's size tells.
        m_watchdog.setInterval(std::clamp(m_stallLimit / 10, std::chrono::milliseconds(20),
                                          std::chrono::milliseconds(1000)));
        connect(&m_watchdog, &QTimer::timeout, this, &EncoderRun::watch);
        // The stop arrives on whichever thread requests it; the kill happens here.
        QPointer<EncoderRun> self(this);
        m_onCancel.emplace(std::move(cancel), [self] {
            QMetaObject::invokeMethod(
                self, [self] { self->kill(); }, Qt::QueuedConnection);
        });
    }

    QFuture<EncodeResult> start() {
        m_promise.start();
        qCDebug(exportLog) << "encoding" << m_wavPath << "to" << m_mp3Path;
        m_process.start();
        m_sinceProgress.start();
        m_watchdog.start();
        return m_promise.future();
    }

  private:
    void watch() {
        const qint64 size = QFileInfo(m_mp3Path).size();
        if (size != m_watchedSize) {
            m_watchedSize = size;
            m_sinceProgress.restart();
        } else if (std::chrono::milliseconds(m_sinceProgress.elapsed()) >= m_stallLimit &&
                   !m_ended) {
            m_stalled = true;
            m_process.kill(); // finished() follows, and ends the run
        }
    }

    void kill() {
        if (m_ended) {
            return;
        }
        m_cancelled = true;
        m_process.kill(); // finished() follows, and ends the run
    }

    void onFinished(int exitCode, QProcess::ExitStatus status) {
        m_errorTail += m_process.readAllStandardError();
        if (m_cancelled) {
            end(EncodeResult{true, QString()});
            return;
        }
        if (m_stalled) {
            end(failure(QStringLiteral("The MP3 encoder \"%1\" made no progress for %2 seconds "
                                       "while encoding \"%3\" and was stopped.")
                            .arg(native(m_program))
                            .arg(std::chrono::duration<double>(m_stallLimit).count())
                            .arg(native(m_wavPath))));
            return;
        }
        // A child ended by a signal reports the signal number; tell it apart
        // from an ordinary exit code the way a shell does.
        const int code = status == QProcess::CrashExit ? 128 + exitCode : exitCode;
        if (code != 0) {
            QString text = QStringLiteral("The MP3 encoder \"%1\" failed with exit code %2 while "
                                          "encoding \"%3\".")
                               .arg(native(m_program))
                               .arg(code)
                               .arg(native(m_wavPath));
            const QString reason = lastLine(m_errorTail);
            if (!reason.isEmpty()) {
                text += QStringLiteral("\n") + reason;
            }
            end(failure(text));
        } else if (!FileExists(m_mp3Path)) {
            end(EncodeResult{false,
                             QStringLiteral("The MP3 encoder \"%1\" ended without writing \"%2\".")
                                 .arg(native(m_program), native(m_mp3Path))});
        } else if (const QString wrong = checkEncodedMp3(m_wavPath, m_mp3Path); !wrong.isEmpty()) {
            end(failure(QStringLiteral("The MP3 encoder \"%1\" exited normally, but its output "
                                       "\"%2\" is not valid MP3 (%3).")
                            .arg(native(m_program), native(m_mp3Path), wrong)));
        } else {
            end(EncodeResult{});
        }
    }

    EncodeResult failure(const QString& text) {
        DeleteFileQuiet(m_mp3Path);
        return EncodeResult{false, text};
    }

    void end(EncodeResult result) {
        if (m_ended) {
            return;
        }
        m_ended = true;
        m_watchdog.stop();
        if (result.cancelled) {
            DeleteFileQuiet(m_mp3Path);
        }
        qCDebug(exportLog) << "encoder ended for" << m_mp3Path << "cancelled" << result.cancelled
                           << result.failure;
        m_promise.addResult(std::move(result));
        m_promise.finish();
        deleteLater();
    }

    QString m_program;
    QString m_wavPath;
    QString m_mp3Path;
    std::chrono::milliseconds m_stallLimit;
    QProcess m_process;
    QTimer m_watchdog;
    QElapsedTimer m_sinceProgress;
    qint64 m_watchedSize = -1;
    bool m_stalled = false;
    QByteArray m_errorTail;
    QPromise<EncodeResult> m_promise;
    std::optional<std::stop_callback<std::function<void()>>> m_onCancel;
    bool m_cancelled = false;
    bool m_ended = false;
};

} // namespace

QFuture<EncodeResult> WAVToMP3(const QString& wavPath, const QString& mp3Path,
                               std::stop_token cancel, std::chrono::milliseconds stallLimit) {
    const QString program = findEncoder();
    if (program.isEmpty()) {
        return QtFuture::makeReadyFuture(EncodeResult{
            false, QStringLiteral("The MP3 encoder \"%1\" was not found. Please install "
                                  "LAME (the Debian package \"lame\").")
                       .arg(QString::fromLatin1(EncoderProgramName))});
    }
    if (cancel.stop_requested()) {
        return QtFuture::makeReadyFuture(EncodeResult{true, QString()});
    }
    return (new EncoderRun(program, wavPath, mp3Path, std::move(cancel), stallLimit))->start();
}

} // namespace vt
