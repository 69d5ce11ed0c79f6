#pragma once

#include <string>
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

// s without the blanks at either end.
constexpr std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isSpace(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isSpace(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

inline std::string lowered(std::string_view s) {
    std::string result(s);
    for (char& c : result) {
        c = lower(c);
    }
    return result;
}

// Does test hold for any of the blank-separated tokens of list (a class
// attribute, say)? Empty tokens are not tested.
template <typename Test> constexpr bool anyToken(std::string_view list, Test test) {
    std::size_t i = 0;
    while (i < list.size()) {
        while (i < list.size() && isSpace(list[i])) {
            ++i;
        }
        const std::size_t start = i;
        while (i < list.size() && !isSpace(list[i])) {
            ++i;
        }
        if (i > start && test(list.substr(start, i - start))) {
            return true;
        }
    }
    return false;
}

// Calls use with each blank-separated token of list.
template <typename Use> constexpr void forEachToken(std::string_view list, Use use) {
    anyToken(list, [&use](std::string_view token) {
        use(token);
        return false;
    });
}

} // namespace vt::ascii
