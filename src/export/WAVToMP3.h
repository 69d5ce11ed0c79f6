#pragma once

#include <QString>
#include <atomic>

namespace vt {

class Dialogs;

// Encodes one WAV file into one MP3 file with the installed encoder, run as
// `lame -h W M` (each path handed over as one argument), and returns when the
// encoder has ended. Steps 100-106 report under their tag; the encoder's own
// result is the caller's business: when it is missing, cannot start, fails
// (non-zero exit code) or writes nothing, a partial MP3 is removed and a
// Failure describing why is thrown to the caller. When *cancel becomes true the
// encoder is killed, the partial MP3 removed, and the call returns quietly.
void WAVToMP3(const QString& wavPath, const QString& mp3Path, Dialogs& dialogs,
              const std::atomic_bool* cancel = nullptr);

} // namespace vt
