#pragma once

#include <QString>

namespace vt {

// Whether mp3Path, as the encoder wrote it from wavPath, is a stream of MPEG
// audio layer III frames back to back (an ID3v1 tag may end it) lasting as
// long as the WAV plus the encoder's start-up delay of two frames, within one
// frame. Empty when it is; otherwise what is wrong.
QString checkEncodedMp3(const QString& wavPath, const QString& mp3Path);

} // namespace vt
