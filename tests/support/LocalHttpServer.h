#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QString>
#include <chrono>
#include <map>
#include <memory>
#include <utility>

class QThread;

namespace vt::test {

// What the server sends for one path.
struct HttpRoute {
    enum class Encoding { Identity, Gzip, Deflate };
    enum class Behaviour {
        Answer,      // status, headers and body, then the connection closes
        NeverAnswer, // reads the request and keeps silent, connection open
        Held,        // as Answer, but only once release() is called for the path
        SlowEndless, // 200 headers, then a chunk every interval, forever
        Flood,       // 200 headers, then a body as fast as the client takes it, up to
                     // floodBytes: chunks of `chunk`, or with Gzip, compressed zero bytes
    };

    int status = 200;
    QList<std::pair<QByteArray, QByteArray>> headers; // Content-Length is added
    QByteArray body;
    Encoding encoding = Encoding::Identity; // adds Content-Encoding
    Behaviour behaviour = Behaviour::Answer;
    std::chrono::milliseconds interval{100}; // for SlowEndless
    QByteArray chunk = "<p>more</p>\n";      // for SlowEndless and Flood
    qint64 floodBytes = qint64(1) << 40;     // for Flood
};

// An HTTP/1.1 server on 127.0.0.1 (random port) running on its own thread, for
// tests. Routes are matched on the path (the query is ignored); unknown paths
// get 404. Safe to use from any thread.
class LocalHttpServer {
  public:
    LocalHttpServer();
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    quint16 port() const { return m_port; }
    // "http://127.0.0.1:PORT" + path.
    QString url(const QString& path) const;

    void route(const QString& path, HttpRoute route);
    // Shorthands.
    void page(const QString& path, const QByteArray& body,
              const QByteArray& contentType = "text/html; charset=utf-8");
    void redirect(const QString& path, const QString& location, int status = 302);
    // Answers the requests a Held route keeps waiting, and those still to come.
    void release(const QString& path);

    // How many requests reached the path, and the headers of the last one
    // (names in lower case).
    int hits(const QString& path) const;
    QByteArray lastRequestHeader(const QString& path, const QByteArray& name) const;
    // For a Flood: how many body bytes (as sent: compressed for gzip) went to the client.
    qint64 floodSent(const QString& path) const;

    // gzip and zlib (deflate) encodings of bytes, for building routes and checks.
    static QByteArray gzip(const QByteArray& bytes);
    static QByteArray deflate(const QByteArray& bytes);

    class Core; // lives on the server thread

  private:
    friend class Core;
    struct Recorded {
        int hits = 0;
        qint64 floodSent = 0;
        QList<std::pair<QByteArray, QByteArray>> headers;
    };
    bool lookup(const QString& path, HttpRoute* route);
    void record(const QString& path, const QList<std::pair<QByteArray, QByteArray>>& headers);
    void recordFlood(const QString& path, qint64 sent);

    mutable QMutex m_mutex;
    std::map<QString, HttpRoute> m_routes;
    std::map<QString, Recorded> m_recorded;
    std::unique_ptr<QThread> m_thread;
    Core* m_core = nullptr;
    quint16 m_port = 0;
};

} // namespace vt::test
