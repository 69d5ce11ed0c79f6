#include "sources/GetPageText.h"

#include "core/Failure.h"
#include "core/FileUtils.h"
#include "sources/RenderPool.h"
#include "sources/SourcesLog.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QThread>
#include <QtConcurrent/QtConcurrentRun>

namespace vt {

namespace {

bool onWindowThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app && app->inherits("QGuiApplication") && QThread::currentThread() == app->thread();
}

} // namespace

QString pageTextFilePath(const QString& folder) {
    return withTrailingSeparator(folder) + QLatin1String(PageTextFileName);
}

QString GetPageText(const QString& address, const QString& folder, std::stop_token cancel) {
    if (onWindowThread()) {
        throw Failure(QStringLiteral("GetPageText must not run on the window thread"));
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
        throw Failure(QStringLiteral("The page fetch was cancelled."));
    }
    qCDebug(sourcesLog) << "fetching" << address << "on a worker thread";
    fetcher.fetch(address);
    if (!done) {
        loop.exec();
    }
    if (!done) {
        fetcher.abort();
        qCDebug(sourcesLog) << "fetch of" << address << "cancelled";
        throw Failure(QStringLiteral("The page fetch was cancelled."));
    }
    if (!result.ok) {
        qCDebug(sourcesLog) << "fetch of" << address << "failed:" << result.description;
        throw Failure(result.description);
    }
    WriteTextToFile(result.text, pageTextFilePath(folder));
    return result.text;
}

void fetchPageTextAsync(const QString& address, const QString& folder, QObject* context,
                        std::function<void(PageFetchResult)> done) {
    if (!context) {
        return; // there is no thread to report on
    }
    // Everything below runs on the context's thread, whichever thread calls.
    QMetaObject::invokeMethod(context, [address, folder, context, done = std::move(done)] {
        auto* fetcher = new PageFetcher(context);
        QObject::connect(
            fetcher, &PageFetcher::finished, fetcher, [fetcher, folder, done](PageFetchResult r) {
                if (!r.ok) {
                    fetcher->deleteLater();
                    done(r);
                    return;
                }
                auto* watcher = new QFutureWatcher<PageFetchResult>(fetcher);
                QObject::connect(watcher, &QFutureWatcher<PageFetchResult>::finished, fetcher,
                                 [fetcher, watcher, done] {
                                     const PageFetchResult written = watcher->result();
                                     fetcher->deleteLater();
                                     done(written);
                                 });
                watcher->setFuture(QtConcurrent::run(renderPool(), [r, folder]() mutable {
                    try {
                        WriteTextToFile(r.text, pageTextFilePath(folder));
                    } catch (const std::exception& e) {
                        return PageFetchResult{false, {}, describe(e)};
                    }
                    return r;
                }));
            });
        fetcher->fetch(address);
    });
}

} // namespace vt
