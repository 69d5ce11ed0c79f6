#pragma once

#include <QString>
#include <QStringView>
#include <vector>

namespace vt {

// Cuts text into the pieces the engine speaks one call at a time, so the
// engine is never held for long and speed or volume changes take effect
// soon. Cuts follow sentence ends where it can, otherwise a blank, so the
// speech sounds the same as in one call. The views refer to text.
std::vector<QStringView> chunkForSpeech(const QString& text);

// The limits, visible for tests.
inline constexpr qsizetype ChunkPreferredLength = 160;
inline constexpr qsizetype ChunkMaximumLength = 800;

} // namespace vt
