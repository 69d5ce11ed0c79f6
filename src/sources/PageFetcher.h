#pragma once

#include "sources/text/PageOutline.h"
#include "sources/PageTextMode.h"

#include <QByteArray>
#include <QMetaType>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <atomic>
#include <chrono>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;

namespace vt {

struct PageFetchResult {
    bool ok = false;
    QString text;        // the page's rendered text when ok
    QString description; // why it failed, when not ok
    QString title;       // the page's title when ok, "" when it has none
    PageOutline outline; // its headings and description when ok (none for plain text)
};

struct PageFetchLimits {
    std::chrono::milliseconds time{30000}; // the whole fetch, redirects included
    qint64 bytes = 20 * 1024 * 1024;       // the body, counted after decompression as it comes
    int redirects = 10;
};

// The limits every new fetcher starts with. Tests shorten them.
PageFetchLimits defaultPageFetchLimits();
void setDefaultPageFetchLimits(const PageFetchLimits& limits);

// Fetches a page (http, https or file) and turns it into its rendered text,
// without ever blocking the thread it lives on: the transfer is asynchronous
// and the HTML is decoded and rendered on a worker thread. Emits finished
// exactly once per fetch that is not aborted. The time limit covers the
// rendering too: at the limit, or when aborted, the rendering stops.
// The window does not use it directly (GetPageText.h runs it off its thread).
class PageFetcher : public QObject {
    Q_OBJECT
  public:
    explicit PageFetcher(QObject* parent = nullptr);
    ~PageFetcher() override;

    void setLimits(const PageFetchLimits& limits) { m_limits = limits; }
    PageFetchLimits limits() const { return m_limits; }

    // Starts fetching the address as given (no scheme is added); a fetch still
    // running is aborted first. The mode says whether the text is the whole
    // page or its article.
    void fetch(const QString& address, PageTextMode mode = PageTextMode::WholePage);
    // Stops the running fetch; finished is not emitted for it.
    void abort();
    bool isRunning() const { return m_running; }

  signals:
    void finished(vt::PageFetchResult result);

  private:
    void request(const QUrl& url);
    void onMetaData();
    void onReadyRead();
    void onReplyFinished();
    void onRedirect(const QUrl& target);
    void onBodyComplete(const QByteArray& contentType);
    void stopRendering();
    void render(int kind, const QByteArray& charset);
    void fail(const QString& reason);
    void emitResult(PageFetchResult result);
    void dropReply();
    QString timeLimitText() const;

    PageFetchLimits m_limits;
    QNetworkAccessManager* m_network = nullptr;
    QPointer<QNetworkReply> m_reply;
    QTimer m_deadline;
    QString m_address;
    PageTextMode m_mode = PageTextMode::WholePage;
    QUrl m_url; // of the current request
    QList<QUrl> m_visited;
    QByteArray m_body;
    std::shared_ptr<std::atomic_bool> m_stopRendering; // of the rendering under way
    quint64 m_fetchId = 0;
    bool m_running = false;
    bool m_rendering = false; // the body is complete; its text is being made
};

} // namespace vt

Q_DECLARE_METATYPE(vt::PageFetchResult)
