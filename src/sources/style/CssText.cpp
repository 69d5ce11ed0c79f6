#include "sources/style/CssText.h"

namespace vt::css {

std::size_t stringEnd(std::string_view text, std::size_t quote) {
    const char q = text[quote];
    for (std::size_t i = quote + 1; i < text.size(); ++i) {
        if (text[i] == q) {
            return i + 1;
        }
        if (text[i] == '\n') {
            return i;
        }
        if (text[i] == '\\') {
            ++i;
        }
    }
    return text.size();
}

std::size_t commentEnd(std::string_view text, std::size_t start) {
    const std::size_t close = text.find("*/", start + 2);
    return close == std::string_view::npos ? text.size() : close + 2;
}

std::string withoutComments(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
            i = commentEnd(text, i);
            result.push_back(' ');
        } else if (c == '"' || c == '\'') {
            const std::size_t end = stringEnd(text, i);
            result.append(text.substr(i, end - i));
            i = end;
        } else {
            result.push_back(c);
            ++i;
        }
    }
    return result;
}

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = ascii::lower(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

void appendUtf8(std::string& out, unsigned code) {
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        code = 0xFFFD;
    }
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

// An escape at text[pos] == '\\'; advances past it.
bool readEscape(std::string_view text, std::size_t& pos, std::string& out) {
    if (pos + 1 >= text.size() || text[pos + 1] == '\n') {
        return false;
    }
    ++pos;
    if (hexValue(text[pos]) < 0) {
        out.push_back(text[pos++]);
        return true;
    }
    unsigned code = 0;
    for (int digits = 0; digits < 6 && pos < text.size() && hexValue(text[pos]) >= 0; ++digits) {
        code = code * 16 + static_cast<unsigned>(hexValue(text[pos++]));
    }
    if (pos < text.size() && ascii::isSpace(text[pos])) {
        ++pos; // one blank ends a hex escape
    }
    appendUtf8(out, code);
    return true;
}

} // namespace

bool readIdentifier(std::string_view text, std::size_t& pos, std::string& out) {
    out.clear();
    std::size_t p = pos;
    if (p < text.size() && text[p] == '-') {
        out.push_back('-');
        ++p;
    }
    bool any = false;
    while (p < text.size()) {
        const char c = text[p];
        if (c == '\\') {
            if (!readEscape(text, p, out)) {
                break;
            }
        } else if (isNameChar(c) && (any || c < '0' || c > '9')) { // no digit first
            out.push_back(c);
            ++p;
        } else {
            break;
        }
        any = true;
    }
    if (!any) {
        return false;
    }
    pos = p;
    return true;
}

} // namespace vt::css
