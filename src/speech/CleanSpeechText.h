#pragma once

#include <QString>

namespace vt {

// Every character of the windows-1252 code page other than a letter (of any
// script, accented ones included), a digit, the blank and ! , . ; ? becomes one
// blank, except where it is part of a word: an apostrophe (' or ’) between two
// letters ("don't") or after a word's final s ("parents'"), and the symbols
// % $ € £ ¥ & @ + # = touching a word or a number ("10%", "$5", "AT&T", "C++",
// "#1", "a@b"; a single one also across one blank: "10 %", "Tom & Jerry"), a
// hyphen between two letters ("Wi-Fi") and a colon between two digits
// ("10:30").
// The length does not change; characters outside the code page stay as they
// are.
QString CleanSpeechText(const QString& text);

// The same without a copy: blanks in out the characters of text that
// CleanSpeechText blanks; out (length characters) holds text or text after
// lowerOrdinaryWords, which changes no character into one of another class.
void cleanSpeechText(const char16_t* text, char16_t* out, qsizetype length);

} // namespace vt
