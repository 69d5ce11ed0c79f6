#pragma once

#include "VoiceChoice.h"

#include <QString>
#include <atomic>

namespace vt {

class Dialogs;

// The renderer. With a WAV path, speaks the contents of the text file
// source into a new WAV file (22,050 Hz, 16-bit, mono PCM) with the chosen
// voice, volume and rate; a file whose rendering failed or was cancelled is
// removed. With an empty WAV path, speaks source itself through the audio
// output (only from a worker thread: it waits for the window thread to play
// it). Returns when the speaking has ended. Failures are reported under the
// renderer's tag; a voice that cannot run gets a notice that asks for
// another voice. Runs on worker threads; dialogs must be safe to call there.
void SaveToWAV(const QString& source, const QString& wavPath, const VoiceChoice& voice,
               Dialogs& dialogs, const std::atomic_bool* cancel = nullptr);

} // namespace vt
