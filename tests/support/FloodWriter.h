#pragma once

#include <QByteArray>
#include <QObject>
#include <functional>
#include <zlib.h>

class QTcpSocket;

namespace vt::test {

// Writes an endless (or very long) body to a socket as fast as the client
// takes it, never more than a little ahead of it: chunks of a piece of text,
// or, gzip-compressed, a stream of zero bytes (a decompression bomb), up to
// limit bytes before compression. Reports how many body bytes (as sent, so
// compressed for gzip) it has handed to the socket.
class FloodWriter : public QObject {
  public:
    FloodWriter(QTcpSocket* socket, bool gzip, QByteArray piece, qint64 limit,
                std::function<void(qint64)> sent);
    ~FloodWriter() override;
    FloodWriter(const FloodWriter&) = delete;
    FloodWriter& operator=(const FloodWriter&) = delete;

  private:
    void fill();
    QByteArray compress(const QByteArray& bytes, int flush);
    const QByteArray& nextZeroRound();

    QTcpSocket* m_socket;
    bool m_gzip;
    QByteArray m_piece;
    qint64 m_limit;
    qint64 m_sent = 0;
    qint64 m_unpacked = 0;
    std::function<void(qint64)> m_report;
    z_stream m_zlib{};
    bool m_done = false;
    QByteArray m_lastRound;   // the last round of zeros, compressed
    bool m_repeating = false; // rounds now compress to m_lastRound every time
};

} // namespace vt::test
