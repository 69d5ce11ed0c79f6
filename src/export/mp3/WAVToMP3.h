#pragma once

#include <QFuture>
#include <QString>
#include <chrono>
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
// removed. Output that is not a stream of MP3 frames lasting as long as the
// WAV is a failure too, and so is an encoder that neither ends nor adds to its
// output for stallLimit: it is killed. A stop request kills the encoder and
// removes the partial MP3.
inline constexpr std::chrono::milliseconds EncoderStallLimit{60000};
QFuture<EncodeResult> WAVToMP3(const QString& wavPath, const QString& mp3Path,
                               std::stop_token cancel = {},
                               std::chrono::milliseconds stallLimit = EncoderStallLimit);

} // namespace vt
