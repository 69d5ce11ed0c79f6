#pragma once

#include <QString>

namespace vt {

// The characters that reorder text on screen (embeddings, overrides, isolates,
// directional marks): in a tag or a file name they let "...exe.mp3" pass for
// something else, and no page needs them there.
inline bool isBidiControl(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069) || u == 0x200E ||
           u == 0x200F || u == 0x061C;
}

} // namespace vt
