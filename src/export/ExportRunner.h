#pragma once

#include "ExportJob.h"
#include "LauncherProgress.h"

#include <QFutureWatcher>
#include <QObject>
#include <memory>
#include <optional>

namespace vt {

class Dialogs;

// Carries a job's progress from its worker to the runner. Owned by the job, so
// a worker that outlives its runner still has something to signal through.
class ExportProgressRelay : public QObject {
    Q_OBJECT
  signals:
    void workStarted();
    void workEnded();
};

// Runs one export at a time on a worker thread for the window. Reports and
// notices reach windowDialogs on the window thread, the job waiting for each
// answer. finished() comes exactly once per started job, on the window thread.
// The window keeps windowDialogs alive as long as the runner.
class ExportRunner : public QObject {
    Q_OBJECT
  public:
    explicit ExportRunner(QObject* parent = nullptr);
    // Cancels a running job; it winds down on its own thread.
    ~ExportRunner() override;

    // Starts the job with a copy of voices; does nothing while one is running.
    // Call on the window thread.
    void start(ExportRequest request, const VoiceCatalogue& voices, Dialogs& windowDialogs);
    // Stops the running job promptly: kills its encoders, stops speech, removes
    // its folder and leaves no MP3 behind; nothing more is shown. finished()
    // still follows. Does not wait.
    void cancel();
    bool isRunning() const { return m_running; }
    // The task-manager entry the jobs started from now on show their progress on.
    void setLauncher(LauncherProgress launcher) { m_launcher = std::move(launcher); }

  signals:
    // The request passed its checks and the work begins; the work is over and
    // the closing message comes next. Both arrive before finished().
    void workStarted();
    void workEnded();
    void finished(vt::ExportResult result);

  private:
    struct Job;
    std::shared_ptr<Job> m_job;
    QFutureWatcher<ExportResult> m_watcher;
    bool m_running = false;
    std::optional<LauncherProgress> m_launcher;
};

} // namespace vt
