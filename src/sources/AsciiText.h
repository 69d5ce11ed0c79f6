#pragma once

#include <string_view>

// The ASCII rules HTML markup is written in: tag and attribute names compare
// without regard to ASCII case, and these five characters are its blanks.
namespace vt::ascii {

constexpr bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

constexpr bool isAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

constexpr char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

// Does a equal lowerB, which is given in lower case, ignoring ASCII case?
constexpr bool equalsNoCase(std::string_view a, std::string_view lowerB) {
    if (a.size() != lowerB.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lowerB[i]) {
            return false;
        }
    }
    return true;
}

// Does text start with lowerPrefix, ignoring ASCII case?
constexpr bool startsWithNoCase(std::string_view text, std::string_view lowerPrefix) {
    return text.size() >= lowerPrefix.size() &&
           equalsNoCase(text.substr(0, lowerPrefix.size()), lowerPrefix);
}

} // namespace vt::ascii
