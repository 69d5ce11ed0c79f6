#pragma once

#include <string>
#include <string_view>

// Small text helpers shared by the style sheet parsers. All work on bytes;
// everything CSS syntax gives meaning to is ASCII.
namespace vt::css {

inline bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

inline char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

inline bool isNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || static_cast<unsigned char>(c) >= 0x80;
}

std::string_view trimmed(std::string_view s);

bool equalsIgnoringCase(std::string_view a, std::string_view lowerB);

std::string lowered(std::string_view s);

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
