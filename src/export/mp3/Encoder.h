#pragma once

#include <QString>

namespace vt {

// The encoder program's name, as installed by the "lame" package.
inline constexpr char EncoderProgramName[] = "lame";

// The path of the LAME encoder found on PATH, or "" when it is not installed.
QString findEncoder();

} // namespace vt
