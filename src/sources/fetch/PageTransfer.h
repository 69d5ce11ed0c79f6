#pragma once

#include "sources/fetch/FetchLimits.h"
#include "sources/fetch/PageContent.h"

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

namespace vt {

// A fetched body and what it is, or why there is none.
struct FetchedPage {
    bool ok = false;
    QByteArray body;
    ContentKind kind = ContentKind::Unknown; // Html or PlainText when ok
    QByteArray contentType;                  // as the server sent it, "" when it sent none
    QString description;                     // the whole failure message, when not ok
    QString address;                         // as it was asked for
    QUrl redirectedTo;                       // the last address of a redirected fetch

    // A failure of this page described as the transfer describes its own:
    // "Cannot read "address": reason (redirected to "...").".
    QString failure(const QString& reason) const;
};

// Fetches a page's body (http, https or file) without ever blocking the
// thread it lives on, within its limits, following redirects itself. Emits
// finished exactly once per fetch that is not aborted. The body's text is
// for others to make: this knows nothing of HTML.
class PageTransfer : public QObject {
    Q_OBJECT
  public:
    // Without a network access manager it makes one of its own.
    explicit PageTransfer(QNetworkAccessManager* network = nullptr, QObject* parent = nullptr);
    ~PageTransfer() override;

    void setLimits(const PageFetchLimits& limits) { m_limits = limits; }
    PageFetchLimits limits() const { return m_limits; }

    // Starts fetching the address as given (no scheme is added); a fetch still
    // running is aborted first.
    void fetch(const QString& address);
    // Stops the running fetch; finished is not emitted for it.
    void abort();
    bool isRunning() const { return m_running; }

  signals:
    void finished(vt::FetchedPage page);

  private:
    void request(const QUrl& url);
    void onMetaData();
    void onReadyRead();
    void onReplyFinished();
    void onRedirect(const QUrl& target);
    void onBodyComplete(const QByteArray& contentType);
    void fail(const QString& reason);
    void finish(FetchedPage page);
    void dropReply();
    FetchedPage current() const;

    PageFetchLimits m_limits;
    QNetworkAccessManager* m_network = nullptr;
    QPointer<QNetworkReply> m_reply;
    QTimer m_deadline;
    QString m_address;
    QUrl m_url; // of the current request
    QList<QUrl> m_visited;
    QByteArray m_body;
    bool m_running = false;
};

} // namespace vt

Q_DECLARE_METATYPE(vt::FetchedPage)
