#include "sources/GetPageText.h"

#include "core/Failure.h"
#include "core/files/FileUtils.h"
#include "sources/SourcesLog.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <memory>

namespace vt {

namespace {

bool onWindowThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app && app->inherits("QGuiApplication") && QThread::currentThread() == app->thread();
}

} // namespace

QString titleOfText(const QString& text) {
    for (const QStringView line : QStringView(text).split(u'\n')) {
        const QString title = line.toString().simplified();
        if (!title.isEmpty()) {
            return title;
        }
    }
    return QString();
}

QString pageTextFilePath(const QString& folder) {
    return withTrailingSeparator(folder) + QLatin1String(PageTextFileName);
}

PageFetchResult fetchPage(const QString& address, std::stop_token cancel, PageTextMode mode) {
    if (onWindowThread()) {
        throw Failure(QStringLiteral("A page must not be fetched on the window thread"));
    }
    PageFetcher fetcher;
    PageFetchResult result;
    bool done = false;
    QEventLoop loop;
    QObject::connect(&fetcher, &PageFetcher::finished, &loop, [&](const PageFetchResult& r) {
        result = r;
        done = true;
        loop.quit();
    });
    // A stop request, from whichever thread, ends the wait as a queued call.
    QEventLoop* waiting = &loop;
    const std::stop_callback onStop(cancel, [waiting] {
        QMetaObject::invokeMethod(waiting, &QEventLoop::quit, Qt::QueuedConnection);
    });
    if (cancel.stop_requested()) {
        return {false, {}, QStringLiteral("The page fetch was cancelled."), {}, {}};
    }
    qCDebug(sourcesLog) << "fetching" << address << "on a worker thread";
    fetcher.fetch(address, mode);
    if (!done) {
        loop.exec();
    }
    if (!done) {
        fetcher.abort();
        qCDebug(sourcesLog) << "fetch of" << address << "cancelled";
        return {false, {}, QStringLiteral("The page fetch was cancelled."), {}, {}};
    }
    return result;
}

QString GetPageText(const QString& address, const QString& folder, std::stop_token cancel,
                    PageTextMode mode, QString* title, PageOutline* outline) {
    if (onWindowThread()) {
        throw Failure(QStringLiteral("GetPageText must not run on the window thread"));
    }
    const PageFetchResult result = fetchPage(address, std::move(cancel), mode);
    if (!result.ok) {
        qCDebug(sourcesLog) << "fetch of" << address << "failed:" << result.description;
        throw Failure(result.description);
    }
    WriteJobTextFile(result.text, pageTextFilePath(folder));
    if (title) {
        *title = result.title;
    }
    if (outline) {
        *outline = result.outline;
    }
    return result.text;
}

namespace {

// One fetch for fetchPageTextAsync: the fetch, the rendering and the file
// write run on a thread of its own; the result is reported on the context's
// thread. Destroyed with its context first, it cancels the fetch and waits
// the moment it takes to stop.
class AsyncPageFetch : public QObject {
  public:
    AsyncPageFetch(const QString& address, const QString& folder, PageTextMode mode,
                   QObject* context, std::function<void(PageFetchResult)> done)
        : QObject(context), m_done(std::move(done)) {
        m_worker.reset(QThread::create([this, address, folder, mode] {
            PageFetchResult result;
            try {
                result = fetchPage(address, m_stop.get_token(), mode);
                if (result.ok) {
                    WriteJobTextFile(result.text, pageTextFilePath(folder));
                }
            } catch (const std::exception& e) {
                result = {false, {}, describe(e), {}, {}};
            }
            m_result = std::move(result);
        }));
        connect(m_worker.get(), &QThread::finished, this, [this] {
            const auto done = std::move(m_done);
            const PageFetchResult result = std::move(m_result);
            deleteLater();
            done(result);
        });
        m_worker->start();
    }

    ~AsyncPageFetch() override {
        m_stop.request_stop();
        m_worker->wait();
    }

  private:
    std::function<void(PageFetchResult)> m_done;
    std::stop_source m_stop;
    PageFetchResult m_result; // written by the worker before it finishes
    std::unique_ptr<QThread> m_worker;
};

} // namespace

void fetchPageTextAsync(const QString& address, const QString& folder, QObject* context,
                        std::function<void(PageFetchResult)> done, PageTextMode mode) {
    if (!context) {
        return; // there is no thread to report on
    }
    // The fetch belongs to the context's thread, whichever thread calls.
    QMetaObject::invokeMethod(context, [address, folder, mode, context, done = std::move(done)] {
        new AsyncPageFetch(address, folder, mode, context, done);
    });
}

} // namespace vt
