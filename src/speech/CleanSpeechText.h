#pragma once

#include <QString>

namespace vt {

// Every character of the windows-1252 code page other than the digits, the
// letters A-Z and a-z, the blank and ! , . ; ? becomes one blank. The length
// does not change; characters outside the code page stay as they are.
QString CleanSpeechText(const QString& text);

} // namespace vt
