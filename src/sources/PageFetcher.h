#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <chrono>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;

namespace vt {

struct PageFetchResult {
    bool ok = false;
    QString text;        // the page's rendered text when ok
    QString description; // why it failed, when not ok
    QString title;       // the page's title, "" when it has none
};

struct PageFetchLimits {
    std::chrono::milliseconds time{30000}; // the whole fetch, redirects included
    qint64 bytes = 20 * 1024 * 1024;       // the body, after decompression
    int redirects = 10;
};

// The limits every new fetcher starts with. Tests shorten them.
PageFetchLimits defaultPageFetchLimits();
void setDefaultPageFetchLimits(const PageFetchLimits& limits);

// Fetches a page (http, https or file) and turns it into its rendered text,
// without ever blocking the thread it lives on: the transfer is asynchronous
// and the HTML is decoded and rendered on a worker thread. Emits finished
// exactly once per fetch that is not aborted.
class PageFetcher : public QObject {
    Q_OBJECT
  public:
    explicit PageFetcher(QObject* parent = nullptr);
    ~PageFetcher() override;

    void setLimits(const PageFetchLimits& limits) { m_limits = limits; }
    PageFetchLimits limits() const { return m_limits; }

    // Starts fetching the address as given (no scheme is added); a fetch still
    // running is aborted first.
    void fetch(const QString& address);
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
    QUrl m_url; // of the current request
    QList<QUrl> m_visited;
    QByteArray m_body;
    quint64 m_fetchId = 0;
    bool m_running = false;
    bool m_rendering = false; // the body is complete; its text is being made
};

} // namespace vt

Q_DECLARE_METATYPE(vt::PageFetchResult)
