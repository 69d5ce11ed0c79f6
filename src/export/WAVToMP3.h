#pragma once

#include <QFuture>
#include <QString>
#include <stop_token>

namespace vt {

// How one encoding ended.
struct EncodeResult {
    bool cancelled = false; // a stop was requested: the encoder was killed
    QString failure;        // why no MP3 was made; empty when it was (or cancelled)
};

// Encodes one WAV file into one MP3 file with the installed encoder, run as
// `lame -h W M` (each path handed over as one argument, never through a
// shell), as an asynchronous child process owned by the calling thread, which
// must run an event loop. The future finishes exactly once, when the encoder
// has ended: when it is missing, cannot start, fails (non-zero exit code or a
// signal) or writes nothing, the result says why and a partial MP3 is
// removed. A stop request kills the encoder and removes the partial MP3.
QFuture<EncodeResult> WAVToMP3(const QString& wavPath, const QString& mp3Path,
                               std::stop_token cancel = {});

} // namespace vt
