#include "ExportRunner.h"

#include "core/CancellableDialogs.h"
#include "core/Dialogs.h"

#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

namespace vt {

// What the worker and the window share for one job. The gate on the window
// side is checked on the window thread, where cancel() raises the flag, so no
// call reaches the window's dialogs after a cancel; the gate on the worker side
// spares the worker the wait for a call that would be dropped anyway.
struct ExportRunner::Job {
    explicit Job(Dialogs& windowDialogs)
        : windowSide(windowDialogs, cancel.get_token()), threadSafe(windowSide),
          workerSide(threadSafe, cancel.get_token()) {}

    std::stop_source cancel;
    ExportProgressRelay relay;
    CancellableDialogs windowSide;
    ThreadSafeDialogs threadSafe; // made on the window thread: forwards there
    CancellableDialogs workerSide;
};

ExportRunner::ExportRunner(QObject* parent) : QObject(parent) {
    qRegisterMetaType<vt::ExportResult>();
    connect(&m_watcher, &QFutureWatcher<ExportResult>::finished, this, [this] {
        m_running = false;
        m_job.reset();
        emit finished(m_watcher.result());
    });
}

ExportRunner::~ExportRunner() {
    cancel();
}

void ExportRunner::start(ExportRequest request, const VoiceCatalogue& voices,
                         Dialogs& windowDialogs) {
    if (m_running) {
        return;
    }
    m_running = true;
    m_job = std::make_shared<Job>(windowDialogs);
    connect(&m_job->relay, &ExportProgressRelay::workStarted, this, &ExportRunner::workStarted);
    connect(&m_job->relay, &ExportProgressRelay::workEnded, this, &ExportRunner::workEnded);
    m_watcher.setFuture(
        QtConcurrent::run(QThreadPool::globalInstance(), [job = m_job, request = std::move(request),
                                                          voices, launcher = m_launcher] {
            // Emitted on the worker, delivered queued on the window thread in
            // order with the dialogs the job shows.
            ExportProgressRelay* relay = &job->relay;
            ExportProgress progress{[relay] { emit relay->workStarted(); },
                                    [relay] { emit relay->workEnded(); }};
            if (launcher) {
                progress = launcher->attachTo(std::move(progress));
            }
            try {
                return runExport(request, voices, job->workerSide, job->cancel.get_token(),
                                 progress);
            } catch (...) {
                // The job reports its own failures; whatever still escapes must
                // not take the program down with it.
                ExportResult result;
                result.failure = ExportFailure::WriteFailed;
                return result;
            }
        }));
}

void ExportRunner::cancel() {
    if (m_job) {
        m_job->cancel.request_stop();
    }
}

} // namespace vt
