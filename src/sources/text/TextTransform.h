#pragma once

#include "sources/style/ElementStyle.h"

#include <string>
#include <string_view>

namespace vt {

// Whether a character continues a word for capitalize (letters, digits,
// marks), given the first byte of its UTF-8 form; bytes of non-ASCII
// characters are taken as letters.
bool continuesWord(unsigned char firstByte);

// The text as text-transform shows it, with full case mapping ("Maß" in
// upper case is "MASS"). For capitalize, `inWord` tells whether the text
// continues a word from before, and is updated to whether it ends inside one.
// Upper and lower case follow the language (a lang attribute's value) where
// it has rules of its own: Turkish and Azerbaijani dotted and dotless i,
// Lithuanian dots, Greek accents. Capitalize does not, as in browsers.
std::string transformText(std::string_view utf8, TextTransform transform, bool& inWord,
                          std::string_view language = {});

} // namespace vt
