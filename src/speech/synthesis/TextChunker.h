#pragma once

#include <QString>
#include <QStringView>
#include <vector>

namespace vt {

// One piece of text the engine speaks in one call.
struct SpeechChunk {
    QStringView text;
    // The piece ends inside a sentence (a sentence longer than a chunk), so
    // the engine must not pause at its end.
    bool endsInsideSentence = false;
};

// Cuts text into the pieces the engine speaks one call at a time, so the
// engine is never held for long and speed or volume changes take effect
// soon. Cuts fall after a sentence end or a line end (with the blanks and line
// feeds that follow, so a paragraph break stays whole), where the engine
// pauses anyway; only a sentence longer than a chunk is cut inside, between
// words. The views refer to text.
std::vector<SpeechChunk> chunkForSpeech(const QString& text);

// The limits, visible for tests: a chunk is cut at the first sentence or line
// end once it is this long...
inline constexpr qsizetype ChunkPreferredLength = 160;
// ...and is never longer than this.
inline constexpr qsizetype ChunkMaximumLength = 800;

} // namespace vt
