#pragma once

#include "core/AsciiText.h"

#include <string>
#include <string_view>

// Small text helpers shared by the style sheet parsers. All work on bytes;
// everything CSS syntax gives meaning to is ASCII (its blanks and case rules
// are those of vt::ascii).
namespace vt::css {

inline bool isNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || static_cast<unsigned char>(c) >= 0x80;
}

// Where a string starting with its quote at `quote` ends: after the closing
// quote, at an unescaped line feed (a bad string), or at the end.
std::size_t stringEnd(std::string_view text, std::size_t quote);

// Where a comment starting with "/*" at `start` ends: after "*/" or at the end.
std::size_t commentEnd(std::string_view text, std::size_t start);

// The text with its comments replaced by a space each.
std::string withoutComments(std::string_view text);

// Reads an identifier (with CSS escapes) at `pos`; advances pos past it.
// Returns false when there is none.
bool readIdentifier(std::string_view text, std::size_t& pos, std::string& out);

} // namespace vt::css
