#include "support/LocalHttpServer.h"

#include "support/FloodWriter.h"

#include <QHostAddress>
#include <QMutexLocker>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <array>

namespace vt::test {

namespace {

QByteArray reasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 303:
        return "See Other";
    case 307:
        return "Temporary Redirect";
    case 308:
        return "Permanent Redirect";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

quint32 crc32(const QByteArray& bytes) {
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            t[n] = c;
        }
        return t;
    }();
    quint32 crc = 0xFFFFFFFFu;
    for (const char b : bytes) {
        crc = table[(crc ^ static_cast<quint8>(b)) & 0xFF] ^ (crc >> 8);
    }
    return crc ^ 0xFFFFFFFFu;
}

void appendLittleEndian(QByteArray& out, quint32 value) {
    for (int i = 0; i < 4; ++i) {
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

} // namespace

// Accepts connections and answers them, all on the server thread.
class LocalHttpServer::Core : public QObject {
  public:
    explicit Core(LocalHttpServer& owner) : m_owner(owner) {}

    quint16 listen() {
        m_server = new QTcpServer(this);
        m_server->listen(QHostAddress::LocalHost, 0);
        connect(m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server->nextPendingConnection()) {
                socket->setParent(this);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        return m_server->serverPort();
    }

    void releaseHeld(const QString& path) {
        const QList<QPointer<QTcpSocket>> held = m_held.take(path);
        HttpRoute route;
        m_owner.lookup(path, &route);
        for (const QPointer<QTcpSocket>& socket : held) {
            if (socket) {
                answer(socket, route, path);
            }
        }
    }

  private:
    void serve(QTcpSocket* socket) {
        QByteArray& buffer = m_pending[socket];
        buffer.append(socket->readAll());
        const qsizetype end = buffer.indexOf("\r\n\r\n");
        if (end < 0 || socket->property("answered").toBool()) {
            return;
        }
        socket->setProperty("answered", true);
        const QList<QByteArray> lines = buffer.left(end).split('\n');
        m_pending.remove(socket);
        const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
        const QString path = QUrl(QString::fromLatin1(requestLine.value(1))).path();
        QList<std::pair<QByteArray, QByteArray>> headers;
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon > 0) {
                headers.append(
                    {lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed()});
            }
        }
        m_owner.record(path, headers);
        HttpRoute route;
        if (!m_owner.lookup(path, &route)) {
            route.status = 404;
            route.headers = {{"Content-Type", "text/html"}};
            route.body = "<h1>Not here</h1>";
        }
        answer(socket, route, path);
    }

    void answer(QTcpSocket* socket, const HttpRoute& route, const QString& path) {
        if (route.behaviour == HttpRoute::Behaviour::NeverAnswer) {
            return;
        }
        if (route.behaviour == HttpRoute::Behaviour::Held) {
            m_held[path].append(QPointer<QTcpSocket>(socket));
            return;
        }
        QByteArray head = "HTTP/1.1 " + QByteArray::number(route.status) + ' ' +
                          reasonPhrase(route.status) + "\r\n";
        for (const auto& [name, value] : route.headers) {
            head += name + ": " + value + "\r\n";
        }
        head += "Connection: close\r\n";
        if (route.behaviour == HttpRoute::Behaviour::Flood) {
            const bool gzip = route.encoding == HttpRoute::Encoding::Gzip;
            socket->write(head + "Content-Type: text/html\r\n" +
                          (gzip ? "Content-Encoding: gzip\r\n" : "Transfer-Encoding: chunked\r\n") +
                          "\r\n");
            new FloodWriter(socket, gzip, route.chunk, route.floodBytes,
                            [this, path](qint64 sent) { m_owner.recordFlood(path, sent); });
            return;
        }
        if (route.behaviour == HttpRoute::Behaviour::SlowEndless) {
            socket->write(head + "Content-Type: text/html\r\n\r\n");
            auto* timer = new QTimer(socket);
            const QByteArray chunk = route.chunk;
            connect(timer, &QTimer::timeout, socket, [socket, chunk] { socket->write(chunk); });
            timer->start(route.interval);
            return;
        }
        QByteArray body = route.body;
        if (route.encoding == HttpRoute::Encoding::Gzip) {
            body = gzip(body);
            head += "Content-Encoding: gzip\r\n";
        } else if (route.encoding == HttpRoute::Encoding::Deflate) {
            body = deflate(body);
            head += "Content-Encoding: deflate\r\n";
        }
        head += "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n";
        socket->write(head);
        socket->write(body);
        socket->disconnectFromHost();
    }

    LocalHttpServer& m_owner;
    QTcpServer* m_server = nullptr;
    QHash<QTcpSocket*, QByteArray> m_pending;
    QHash<QString, QList<QPointer<QTcpSocket>>> m_held;
};

LocalHttpServer::LocalHttpServer() : m_thread(std::make_unique<QThread>()) {
    m_thread->setObjectName(QStringLiteral("LocalHttpServer"));
    m_core = new Core(*this);
    m_core->moveToThread(m_thread.get());
    QObject::connect(m_thread.get(), &QThread::finished, m_core, &QObject::deleteLater);
    m_thread->start();
    QMetaObject::invokeMethod(
        m_core, [this] { return m_core->listen(); }, Qt::BlockingQueuedConnection, &m_port);
}

LocalHttpServer::~LocalHttpServer() {
    m_thread->quit();
    m_thread->wait();
}

QString LocalHttpServer::url(const QString& path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
}

void LocalHttpServer::route(const QString& path, HttpRoute route) {
    QMutexLocker lock(&m_mutex);
    m_routes[path] = std::move(route);
}

void LocalHttpServer::page(const QString& path, const QByteArray& body,
                           const QByteArray& contentType) {
    HttpRoute r;
    r.headers = {{"Content-Type", contentType}};
    r.body = body;
    route(path, r);
}

void LocalHttpServer::release(const QString& path) {
    {
        QMutexLocker lock(&m_mutex);
        const auto found = m_routes.find(path);
        if (found == m_routes.end() || found->second.behaviour != HttpRoute::Behaviour::Held) {
            return;
        }
        found->second.behaviour = HttpRoute::Behaviour::Answer;
    }
    Core* core = m_core;
    QMetaObject::invokeMethod(core, [core, path] { core->releaseHeld(path); });
}

void LocalHttpServer::redirect(const QString& path, const QString& location, int status) {
    HttpRoute r;
    r.status = status;
    r.headers = {{"Location", location.toUtf8()}, {"Content-Type", "text/html"}};
    r.body = "<p>Moved</p>";
    route(path, r);
}

int LocalHttpServer::hits(const QString& path) const {
    QMutexLocker lock(&m_mutex);
    const auto it = m_recorded.find(path);
    return it == m_recorded.end() ? 0 : it->second.hits;
}

QByteArray LocalHttpServer::lastRequestHeader(const QString& path, const QByteArray& name) const {
    QMutexLocker lock(&m_mutex);
    const auto it = m_recorded.find(path);
    if (it != m_recorded.end()) {
        for (const auto& [key, value] : it->second.headers) {
            if (key == name.toLower()) {
                return value;
            }
        }
    }
    return {};
}

qint64 LocalHttpServer::floodSent(const QString& path) const {
    QMutexLocker lock(&m_mutex);
    const auto it = m_recorded.find(path);
    return it == m_recorded.end() ? 0 : it->second.floodSent;
}

void LocalHttpServer::recordFlood(const QString& path, qint64 sent) {
    QMutexLocker lock(&m_mutex);
    m_recorded[path].floodSent = sent;
}

bool LocalHttpServer::lookup(const QString& path, HttpRoute* route) {
    QMutexLocker lock(&m_mutex);
    const auto it = m_routes.find(path);
    if (it == m_routes.end()) {
        return false;
    }
    *route = it->second;
    return true;
}

void LocalHttpServer::record(const QString& path,
                             const QList<std::pair<QByteArray, QByteArray>>& headers) {
    QMutexLocker lock(&m_mutex);
    Recorded& recorded = m_recorded[path];
    ++recorded.hits;
    recorded.headers = headers;
}

QByteArray LocalHttpServer::deflate(const QByteArray& bytes) {
    return qCompress(bytes, 9).mid(4); // qCompress puts the length before the zlib stream
}

QByteArray LocalHttpServer::gzip(const QByteArray& bytes) {
    const QByteArray zlib = deflate(bytes);
    // The raw deflate data sits between the 2-byte zlib header and the 4-byte checksum.
    QByteArray out("\x1F\x8B\x08\x00\x00\x00\x00\x00\x00\x03", 10);
    out.append(zlib.mid(2, zlib.size() - 6));
    appendLittleEndian(out, crc32(bytes));
    appendLittleEndian(out, static_cast<quint32>(bytes.size()));
    return out;
}

} // namespace vt::test
