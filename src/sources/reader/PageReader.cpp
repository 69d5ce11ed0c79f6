#include "sources/reader/PageReader.h"

#include "core/Failure.h"
#include "sources/encoding/TextEncoding.h"
#include "sources/fetch/FetchThread.h"
#include "sources/reader/PageText.h"
#include "sources/reader/ReadPool.h"
#include "sources/reader/SourcesLog.h"

#include <QCoreApplication>
#include <QThread>
#include <QtConcurrent/QtConcurrentRun>

namespace vt {

namespace {

using Clock = std::chrono::steady_clock;

PageRead cancelled() {
    return {false, {}, QString::fromLatin1(PageReadCancelled), {}, {}};
}

QString plainText(const QByteArray& body, const QByteArray& charset) {
    const EncodingName encoding = sniffEncoding(body, charset, DocumentKind::PlainText);
    QString text = decodeText(body, encoding);
    // As a browser shows a text file: line ends become line feeds.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.replace(QChar(0), QChar::ReplacementCharacter);
    return text;
}

// The text of a fetched body, the whole page or its article. Big pages take
// a while: the stop flag, raised at the read's deadline or on a stop request,
// ends the parsing and the walk where they are.
PageRead textOf(const FetchedPage& page, PageTextMode mode, const std::stop_token& stop,
                Clock::time_point deadline, const PageFetchLimits& limits) {
    auto halt = std::make_shared<std::atomic_bool>(false);
    raiseFlagAt(halt, deadline);
    const std::stop_callback onStop(stop, [halt] { halt->store(true); });
    const QByteArray charset = charsetFromContentType(page.contentType);
    PageRead read;
    try {
        if (page.kind == ContentKind::Html) {
            PageTexts texts =
                pageTextsOfHtml(page.body, QString::fromLatin1(charset), mode, halt.get());
            read = {
                true, std::move(texts.text), {}, std::move(texts.title), std::move(texts.outline)};
        } else {
            read = {true, plainText(page.body, charset), {}, {}, {}};
        }
    } catch (const std::exception& e) {
        read = {false,
                {},
                page.failure(QStringLiteral("its text could not be made (%1)")
                                 .arg(QString::fromLocal8Bit(e.what()))),
                {},
                {}};
    }
    // A stop or the deadline comes first, whatever the text did after it.
    if (stop.stop_requested()) {
        return cancelled();
    }
    if (halt->load()) {
        return {false, {}, page.failure(timeLimitReason(limits.time)), {}, {}};
    }
    return read;
}

// Whether the calling thread is a window program's main thread, which must
// never wait for a page.
bool onWindowThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app && app->inherits("QGuiApplication") && QThread::currentThread() == app->thread();
}

} // namespace

PageRead readPage(const QString& address, PageTextMode mode, std::stop_token stop,
                  const PageFetchLimits& limits) {
    if (onWindowThread()) {
        throw Failure(QStringLiteral("A page must not be fetched on the window thread"));
    }
    if (stop.stop_requested()) {
        return cancelled();
    }
    qCDebug(sourcesLog) << "fetching" << address << "on a worker thread";
    const Clock::time_point deadline = Clock::now() + limits.time;
    QFuture<FetchedPage> transfer = startPageTransfer(address, limits, stop);
    transfer.waitForFinished(); // the fetch thread ends it at once on a stop request
    if (transfer.resultCount() == 0 || stop.stop_requested()) {
        qCDebug(sourcesLog) << "fetch of" << address << "cancelled";
        return cancelled();
    }
    const FetchedPage page = transfer.result();
    if (!page.ok) {
        return {false, {}, page.description, {}, {}};
    }
    return textOf(page, mode, stop, deadline, limits);
}

QFuture<PageRead> readPageAsync(const QString& address, PageTextMode mode, std::stop_token stop,
                                const PageFetchLimits& limits) {
    return QtConcurrent::run(pageReadPool(), [address, mode, stop, limits] {
        try {
            return readPage(address, mode, stop, limits);
        } catch (const std::exception& e) {
            return PageRead{false, {}, describe(e), {}, {}};
        }
    });
}

} // namespace vt
