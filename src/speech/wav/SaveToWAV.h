#pragma once

#include "speech/voices/VoiceChoice.h"

#include <QString>
#include <stop_token>
#include <vector>

namespace vt {

class Dialogs;
class VoiceCatalogue;

// What became of a rendering.
struct WavRendering {
    enum class Outcome { Written, Cancelled, Failed };
    Outcome outcome = Outcome::Failed;
    // A failure: what went wrong and the renderer's step that reported it (0
    // when the speaking itself failed, which has no report of its own).
    QString reason;
    int step = 0;
    bool diskFull = false; // the disk the WAV file goes on is full
    bool written() const { return outcome == Outcome::Written; }
};

// The renderer: speaks the contents of the text file source into a new WAV
// file (22,050 Hz, 16-bit, mono PCM) with the chosen voice (a position in
// voices), volume and rate; a file whose rendering failed or was cancelled is
// removed. Returns when the speaking has ended. Failures are reported under
// the renderer's tag; a voice that cannot run gets a notice that asks for
// another voice. Returns what became of the file. Runs on worker threads; dialogs must be safe to
// call there.
WavRendering SaveToWAV(const QString& source, const QString& wavPath, const VoiceChoice& voice,
                       const VoiceCatalogue& voices, Dialogs& dialogs, std::stop_token cancel = {});

// Lines of the text file (0 the first) whose sample positions in the WAV
// file are wanted; each is found where the line's speech begins.
struct WavLineMarks {
    std::vector<int> lines;      // ascending
    std::vector<qint64> samples; // filled by the rendering, one per line
};

// The same, also finding the marks' positions.
WavRendering SaveToWAV(const QString& source, const QString& wavPath, const VoiceChoice& voice,
                       const VoiceCatalogue& voices, Dialogs& dialogs, std::stop_token cancel,
                       WavLineMarks& marks);

} // namespace vt
