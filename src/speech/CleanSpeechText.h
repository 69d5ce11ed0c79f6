#pragma once

#include <QString>

namespace vt {

// Every character of the windows-1252 code page other than a letter (of any
// script, accented ones included), a digit, the blank and ! , . ; ? becomes one
// blank. The length does not change; characters outside the code page stay as
// they are.
QString CleanSpeechText(const QString& text);

} // namespace vt
