#include "FloodWriter.h"

#include <QTcpSocket>

namespace vt::test {

namespace {

// Written but not yet taken: text runs far ahead, as from a fast server;
// compressed zeros (each byte a thousand unpacked) less far.
constexpr qint64 TextAheadBytes = 8 * 1024 * 1024;
constexpr qint64 GzipAheadBytes = 256 * 1024;
constexpr qint64 ChunkBytes = 64 * 1024;          // of text, per chunk
constexpr qint64 ZerosPerRound = 8 * 1024 * 1024; // zero bytes compressed at a time

} // namespace

FloodWriter::FloodWriter(QTcpSocket* socket, bool gzip, QByteArray piece, qint64 limit,
                         std::function<void(qint64)> sent)
    : QObject(socket), m_socket(socket), m_gzip(gzip), m_limit(limit), m_report(std::move(sent)) {
    while (m_piece.size() < ChunkBytes) {
        m_piece += piece.isEmpty() ? QByteArray("<p>more</p>\n") : piece;
    }
    m_piece.truncate(ChunkBytes);
    if (m_gzip) {
        deflateInit2(&m_zlib, Z_BEST_SPEED, Z_DEFLATED, 16 + 15, 9,
                     Z_DEFAULT_STRATEGY); // gzip wrapper
    }
    connect(socket, &QTcpSocket::bytesWritten, this, &FloodWriter::fill);
    fill();
}

FloodWriter::~FloodWriter() {
    if (m_gzip) {
        deflateEnd(&m_zlib);
    }
}

QByteArray FloodWriter::compress(const QByteArray& bytes, int flush) {
    QByteArray out;
    m_zlib.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.constData()));
    m_zlib.avail_in = static_cast<uInt>(bytes.size());
    char buffer[64 * 1024];
    do {
        m_zlib.next_out = reinterpret_cast<Bytef*>(buffer);
        m_zlib.avail_out = sizeof buffer;
        deflate(&m_zlib, flush);
        out.append(buffer, static_cast<qsizetype>(sizeof buffer - m_zlib.avail_out));
    } while (m_zlib.avail_out == 0 || m_zlib.avail_in > 0);
    return out;
}

// Once the window holds nothing but zeros, each round of zeros compresses to
// the same bytes, so from then on those bytes are sent again without
// compressing: as fast as a server sending a ready-made bomb file. (The gzip
// trailer's check sum then no longer matches; a client must stop long before.)
const QByteArray& FloodWriter::nextZeroRound() {
    static const QByteArray zeros(ZerosPerRound, '\0');
    if (!m_repeating) {
        QByteArray compressed = compress(zeros, Z_SYNC_FLUSH);
        m_repeating = compressed == m_lastRound;
        m_lastRound = std::move(compressed);
    }
    return m_lastRound;
}

void FloodWriter::fill() {
    while (!m_done && m_socket->state() == QAbstractSocket::ConnectedState &&
           m_socket->bytesToWrite() < (m_gzip ? GzipAheadBytes : TextAheadBytes)) {
        if ((m_gzip ? m_unpacked : m_sent) >= m_limit) {
            m_socket->write(m_gzip ? compress({}, Z_FINISH) : QByteArray("0\r\n\r\n"));
            m_socket->disconnectFromHost();
            m_done = true;
            return;
        }
        if (m_gzip) {
            const QByteArray& compressed = nextZeroRound();
            m_socket->write(compressed);
            m_unpacked += ZerosPerRound;
            m_sent += compressed.size();
        } else {
            m_socket->write(QByteArray::number(m_piece.size(), 16) + "\r\n" + m_piece + "\r\n");
            m_sent += m_piece.size();
        }
        m_report(m_sent);
    }
}

} // namespace vt::test
