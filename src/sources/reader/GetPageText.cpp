#include "sources/reader/GetPageText.h"

#include "core/Failure.h"
#include "core/files/FileUtils.h"
#include "sources/reader/SourcesLog.h"

#include <QFutureWatcher>
#include <QObject>

namespace vt {

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

QString GetPageText(const QString& address, const QString& folder, std::stop_token cancel,
                    PageTextMode mode, QString* title, PageOutline* outline) {
    // readPage refuses the window thread.
    const PageRead result = readPage(address, mode, std::move(cancel));
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

// One read for fetchPageTextAsync, owned by its context: the result is
// reported on the context's thread. Destroyed with its context first, it
// stops the read, which then neither writes the file nor reports.
class AsyncPageRead : public QObject {
  public:
    AsyncPageRead(const QString& address, const QString& folder, PageTextMode mode,
                  QObject* context, std::function<void(PageRead)> done)
        : QObject(context), m_done(std::move(done)) {
        connect(&m_watcher, &QFutureWatcher<PageRead>::finished, this, [this] {
            const auto done = std::move(m_done);
            const PageRead result =
                m_watcher.future().resultCount() > 0
                    ? m_watcher.result()
                    : PageRead{false, {}, QString::fromLatin1(PageReadCancelled), {}, {}};
            deleteLater();
            done(result);
        });
        m_watcher.setFuture(readPageAsync(address, mode, m_stop.get_token())
                                .then([folder, stop = m_stop.get_token()](PageRead result) {
                                    return writtenToFolder(std::move(result), folder, stop);
                                }));
    }

    ~AsyncPageRead() override { m_stop.request_stop(); }

  private:
    static PageRead writtenToFolder(PageRead result, const QString& folder,
                                    const std::stop_token& stop) {
        if (result.ok && !stop.stop_requested()) {
            try {
                WriteJobTextFile(result.text, pageTextFilePath(folder));
            } catch (const std::exception& e) {
                result = {false, {}, describe(e), {}, {}};
            }
        }
        return result;
    }

    std::function<void(PageRead)> m_done;
    std::stop_source m_stop;
    QFutureWatcher<PageRead> m_watcher{this}; // the read's own, as its context sees it
};

} // namespace

void fetchPageTextAsync(const QString& address, const QString& folder, QObject* context,
                        std::function<void(PageRead)> done, PageTextMode mode) {
    if (!context) {
        return; // there is no thread to report on
    }
    // The read belongs to the context's thread, whichever thread calls.
    QMetaObject::invokeMethod(context, [address, folder, mode, context, done = std::move(done)] {
        new AsyncPageRead(address, folder, mode, context, done);
    });
}

} // namespace vt
