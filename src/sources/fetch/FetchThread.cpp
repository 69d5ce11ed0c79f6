#include "sources/fetch/FetchThread.h"

#include <QCoreApplication>
#include <QMutex>
#include <QMutexLocker>
#include <QNetworkAccessManager>
#include <QPromise>
#include <QThread>
#include <QTimer>
#include <optional>

namespace vt {

namespace {

// The thread and the objects that live on it: one network access manager
// for every transfer, and each transfer's task.
class FetchThread {
  public:
    FetchThread() {
        m_thread.setObjectName(QStringLiteral("page fetch"));
        // Made by whichever thread fetches first, and ended by the program's end.
        if (const QCoreApplication* app = QCoreApplication::instance()) {
            m_thread.moveToThread(app->thread());
        }
        m_home->moveToThread(&m_thread);
        QObject::connect(&m_thread, &QThread::finished, m_home, &QObject::deleteLater);
        m_thread.start();
        // The network manager must be gone before Qt's own statics go at the
        // program's exit, which would otherwise find it mid-transfer.
        qAddPostRoutine(&FetchThread::endAtApplicationEnd);
    }
    ~FetchThread() { shutDown(); }
    FetchThread(const FetchThread&) = delete;
    FetchThread& operator=(const FetchThread&) = delete;

    // Runs work on the thread's event loop; false, and work dropped, once the
    // thread has ended.
    template <typename Work> bool post(Work&& work) {
        const QMutexLocker lock(&m_mutex);
        if (m_ended) {
            return false;
        }
        QMetaObject::invokeMethod(m_home, std::forward<Work>(work));
        return true;
    }

    QObject* home() const { return m_home; }

    // Only on the thread itself.
    QNetworkAccessManager* network() {
        if (!m_network) {
            m_network = new QNetworkAccessManager(m_home);
        }
        return m_network;
    }

  private:
    static void endAtApplicationEnd();

    // Ends the thread: its transfers are dropped, their futures end without a result.
    void shutDown() {
        {
            const QMutexLocker lock(&m_mutex);
            m_ended = true;
        }
        m_thread.quit();
        m_thread.wait();
    }

    QMutex m_mutex;
    bool m_ended = false; // guarded by m_mutex
    QThread m_thread;
    QObject* m_home = new QObject; // deleted on the thread as it finishes
    QNetworkAccessManager* m_network = nullptr;
};

Q_GLOBAL_STATIC(FetchThread, fetchThread)

void FetchThread::endAtApplicationEnd() {
    if (FetchThread* thread = fetchThread()) {
        thread->shutDown();
    }
}

// One transfer and the promise it keeps. A stop request aborts it from the
// thread's event loop and leaves the future without a result.
class TransferTask : public QObject {
  public:
    TransferTask(QNetworkAccessManager* network, QObject* home,
                 std::shared_ptr<QPromise<FetchedPage>> promise, std::stop_token stop)
        : QObject(home), m_transfer(network), m_promise(std::move(promise)) {
        connect(&m_transfer, &PageTransfer::finished, this, [this](const FetchedPage& page) {
            m_promise->addResult(page);
            end();
        });
        m_onStop.emplace(std::move(stop), [this] {
            QMetaObject::invokeMethod(
                this,
                [this] {
                    m_transfer.abort();
                    end();
                },
                Qt::QueuedConnection);
        });
    }

    ~TransferTask() override {
        m_onStop.reset(); // waits for a stop request under way on another thread
        if (!m_ended) {
            m_promise->finish();
        }
    }

    PageTransfer& transfer() { return m_transfer; }

  private:
    void end() {
        if (!m_ended) {
            m_ended = true;
            m_promise->finish();
            deleteLater();
        }
    }

    PageTransfer m_transfer;
    std::shared_ptr<QPromise<FetchedPage>> m_promise;
    bool m_ended = false;
    std::optional<std::stop_callback<std::function<void()>>> m_onStop;
};

} // namespace

QFuture<FetchedPage> startPageTransfer(const QString& address, const PageFetchLimits& limits,
                                       std::stop_token stop) {
    auto promise = std::make_shared<QPromise<FetchedPage>>();
    promise->start();
    QFuture<FetchedPage> future = promise->future();
    FetchThread* thread = fetchThread();
    const bool posted = thread->post([thread, address, limits, stop, promise] {
        if (stop.stop_requested()) {
            promise->finish();
            return;
        }
        auto* task = new TransferTask(thread->network(), thread->home(), promise, stop);
        task->transfer().setLimits(limits);
        task->transfer().fetch(address);
    });
    if (!posted) {
        promise->finish(); // the program is ending
    }
    return future;
}

void raiseFlagAt(std::shared_ptr<std::atomic_bool> flag,
                 std::chrono::steady_clock::time_point when) {
    FetchThread* thread = fetchThread();
    QObject* home = thread->home();
    // The timer is started on the thread whose event loop runs it.
    thread->post([home, flag = std::move(flag), when] {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(when - std::chrono::steady_clock::now());
        QTimer::singleShot(std::max(left, std::chrono::milliseconds(0)), Qt::PreciseTimer, home,
                           [flag] { flag->store(true); });
    });
}

} // namespace vt
