#include "sources/fetch/PageTransfer.h"

#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace vt {

namespace {

const char UserAgent[] = "Mozilla/5.0 (X11; Linux x86_64) Vellumtone/1.0";

// How much Qt may hold for us unread. It stops reading from the connection
// when this much is waiting, so a fast or endless body never piles up.
constexpr qint64 ReadBufferBytes = 256 * 1024;
// How much is taken from the reply at a time, so the size limit stops the
// fetch within this many bytes of it.
constexpr qint64 ReadPieceBytes = 64 * 1024;

QString describeNetworkError(QNetworkReply* reply) {
    const QString host = reply->url().host();
    switch (reply->error()) {
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("the host \"%1\" was not found").arg(host);
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral("the server \"%1\" refused the connection").arg(host);
    case QNetworkReply::RemoteHostClosedError:
        return QStringLiteral("the server \"%1\" closed the connection before the page was sent")
            .arg(host);
    case QNetworkReply::ContentNotFoundError:
        if (reply->url().isLocalFile()) {
            return QStringLiteral("the file was not found");
        }
        break;
    case QNetworkReply::ProtocolUnknownError:
        return QStringLiteral("only http, https and file addresses can be read");
    default:
        break;
    }
    return reply->errorString();
}

} // namespace

QString FetchedPage::failure(const QString& reason) const {
    QString why = reason;
    if (!redirectedTo.isEmpty()) {
        why += QStringLiteral(" (redirected to \"%1\")").arg(redirectedTo.toDisplayString());
    }
    return QStringLiteral("Cannot read \"%1\": %2.").arg(address, why);
}

PageTransfer::PageTransfer(QNetworkAccessManager* network, QObject* parent)
    : QObject(parent), m_limits(defaultPageFetchLimits()), m_network(network) {
    qRegisterMetaType<vt::FetchedPage>();
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] { fail(timeLimitReason(m_limits.time)); });
}

PageTransfer::~PageTransfer() {
    abort();
}

void PageTransfer::fetch(const QString& address) {
    abort();
    m_running = true;
    m_address = address;
    m_visited.clear();
    // Blanks around an address mean nothing, as in a browser's address bar.
    const QUrl url(address.trimmed(), QUrl::TolerantMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.isRelative()) {
        fail(QStringLiteral("it is not a complete web address"));
        return;
    }
    if (scheme != u"http" && scheme != u"https" && scheme != u"file") {
        fail(QStringLiteral("only http, https and file addresses can be read"));
        return;
    }
    if (scheme != u"file" && url.host().isEmpty()) {
        fail(QStringLiteral("the address names no host"));
        return;
    }
    if (scheme == u"file") {
        // Opening a pipe or a device could wait for ever, or never end.
        const QFileInfo file(url.toLocalFile());
        if (file.exists() && !file.isFile()) {
            fail(file.isDir() ? QStringLiteral("it is a folder, not a file")
                              : QStringLiteral("it is not a regular file"));
            return;
        }
    }
    m_deadline.start(m_limits.time);
    request(url);
}

void PageTransfer::request(const QUrl& url) {
    if (!m_network) {
        m_network = new QNetworkAccessManager(this);
    }
    m_url = url;
    m_visited.append(url);
    m_body.clear();
    QNetworkRequest request(url);
    // Redirects are followed here, so loops and the count are ours to judge.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArray(UserAgent));
    request.setRawHeader("Accept", "text/html,application/xhtml+xml,text/plain;q=0.9,*/*;q=0.5");
    QNetworkReply* reply = m_network->get(request);
    reply->setReadBufferSize(ReadBufferBytes);
    m_reply = reply;
    connect(reply, &QNetworkReply::metaDataChanged, this, &PageTransfer::onMetaData);
    connect(reply, &QIODevice::readyRead, this, &PageTransfer::onReadyRead);
    connect(reply, &QNetworkReply::finished, this, &PageTransfer::onReplyFinished);
    // Qt's check against decompression bombs (left on) reports here, and in
    // Qt 6.4 the reply never finishes after it.
    connect(reply, &QNetworkReply::errorOccurred, this, [this](QNetworkReply::NetworkError error) {
        if (error == QNetworkReply::UnknownContentError && m_reply &&
            m_reply->errorString().contains(QLatin1String("ecompress"))) {
            fail(QStringLiteral("its compressed body unpacks to more than any page should"));
        }
    });
}

void PageTransfer::onMetaData() {
    if (!m_reply) {
        return;
    }
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 300) {
        return; // a redirect or an error page: its body is not read
    }
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > m_limits.bytes) {
        fail(QStringLiteral("the page is larger than %1 MB").arg(m_limits.bytes / (1024 * 1024)));
        return;
    }
    const QByteArray type = m_reply->rawHeader("Content-Type");
    const ContentVerdict verdict = judgeContentType(type);
    if (verdict.kind == ContentKind::Refused) {
        fail(QStringLiteral("it is %1, not a web page or plain text").arg(verdict.what));
    }
}

void PageTransfer::onReadyRead() {
    if (!m_reply) {
        return;
    }
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 300) {
        m_reply->readAll(); // not needed
        return;
    }
    // Counted piece by piece as it comes, so the limit stops it at once.
    while (m_reply && m_reply->bytesAvailable() > 0) {
        const qint64 room = m_limits.bytes + 1 - m_body.size();
        const QByteArray piece = m_reply->read(std::min(room, ReadPieceBytes));
        if (piece.isEmpty()) {
            break;
        }
        m_body.append(piece);
        if (m_body.size() > m_limits.bytes) {
            fail(QStringLiteral("the page is larger than %1 MB")
                     .arg(m_limits.bytes / (1024 * 1024)));
        }
    }
}

void PageTransfer::onReplyFinished() {
    QNetworkReply* reply = m_reply;
    if (!reply) {
        return;
    }
    onReadyRead();
    if (!m_reply) {
        return; // the size limit failed it
    }
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QUrl target = reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
    const QByteArray contentType = reply->rawHeader("Content-Type");
    const QNetworkReply::NetworkError error = reply->error();
    if (status >= 300 && status < 400 && target.isValid()) {
        dropReply();
        onRedirect(m_url.resolved(target));
        return;
    }
    if (status >= 400) {
        const QString phrase =
            reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString().trimmed();
        fail(phrase.isEmpty()
                 ? QStringLiteral("the server answered %1").arg(status)
                 : QStringLiteral("the server answered %1 %2").arg(status).arg(phrase));
        return;
    }
    if (error != QNetworkReply::NoError) {
        fail(describeNetworkError(reply));
        return;
    }
    if (status >= 300) {
        fail(QStringLiteral("the server answered %1 without a new address").arg(status));
        return;
    }
    dropReply();
    onBodyComplete(contentType);
}

void PageTransfer::onRedirect(const QUrl& target) {
    const QString scheme = target.scheme().toLower();
    if (scheme != u"http" && scheme != u"https") {
        fail(QStringLiteral("it redirects to \"%1\", which is not a web address")
                 .arg(target.toDisplayString()));
        return;
    }
    if (m_visited.size() > m_limits.redirects) {
        const bool loop = m_visited.count(target) > 0;
        fail(loop ? QStringLiteral("its redirects go round in a loop (back to \"%1\")")
                        .arg(target.toDisplayString())
                  : QStringLiteral("it redirects more than %1 times").arg(m_limits.redirects));
        return;
    }
    request(target);
}

void PageTransfer::onBodyComplete(const QByteArray& contentType) {
    ContentVerdict verdict = judgeContentType(contentType);
    if (verdict.kind == ContentKind::Unknown && m_url.isLocalFile()) {
        verdict = judgeFileName(m_url.toLocalFile());
    }
    if (verdict.kind == ContentKind::Unknown) {
        verdict = sniffContent(m_body);
    }
    if (verdict.kind == ContentKind::Refused) {
        fail(QStringLiteral("it is %1, not a web page or plain text").arg(verdict.what));
        return;
    }
    FetchedPage page = current();
    page.ok = true;
    page.body = std::exchange(m_body, {});
    page.kind = verdict.kind;
    page.contentType = contentType;
    finish(std::move(page));
}

void PageTransfer::fail(const QString& reason) {
    if (!m_running) {
        return;
    }
    dropReply();
    FetchedPage page = current();
    page.description = page.failure(reason);
    finish(std::move(page));
}

FetchedPage PageTransfer::current() const {
    FetchedPage page;
    page.address = m_address;
    if (m_visited.size() > 1) {
        page.redirectedTo = m_url;
    }
    return page;
}

void PageTransfer::finish(FetchedPage page) {
    m_running = false;
    m_deadline.stop();
    m_body.clear();
    emit finished(page);
}

void PageTransfer::dropReply() {
    if (QNetworkReply* reply = m_reply) {
        m_reply = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void PageTransfer::abort() {
    dropReply();
    m_deadline.stop();
    m_running = false;
    m_body.clear();
    m_url.clear();
}

} // namespace vt
