#include "sources/html/nesting/MarkupScanner.h"

#include "core/AsciiText.h"

#include <cstring>
#include <utility>

namespace vt {

using ascii::isAlpha;
using ascii::isSpace;

namespace {

const char* findChar(const char* from, const char* end, char c) {
    if (from >= end) {
        return nullptr;
    }
    return static_cast<const char*>(std::memchr(from, c, static_cast<std::size_t>(end - from)));
}

} // namespace

MarkupTag MarkupScanner::next() {
    while (m_p < m_end) {
        if (m_state == State::Plaintext) {
            m_p = m_end;
            break;
        }
        bool closesRawText = false;
        if (m_state == State::RawText || m_state == State::ScriptData) {
            m_p = m_state == State::RawText ? rawTextEnd(m_p) : scriptDataEnd(m_p);
            m_state = State::Data;
            closesRawText = true; // its end tag, if any, comes next
            if (m_p >= m_end) {
                break;
            }
        }
        const char* lt = findChar(m_p, m_end, '<');
        noteText(m_p, lt ? lt : m_end);
        if (!lt) {
            m_p = m_end;
            break;
        }
        const char* after = lt + 1;
        if (after >= m_end) {
            noteText(lt, m_end);
            m_p = m_end;
            break;
        }
        if (*after == '!') {
            m_p = declarationEnd(lt);
        } else if (*after == '?') {
            m_p = skipPast(after, '>');
        } else if (*after == '/') {
            if (after + 1 >= m_end) {
                noteText(lt, m_end); // "</" at the very end is text
                m_p = m_end;
            } else if (isAlpha(after[1])) {
                MarkupTag tag = readTag(lt, MarkupTag::Kind::End);
                tag.closesRawText = closesRawText;
                return tag;
            } else if (after[1] == '>') {
                m_p = after + 2; // "</>" is dropped
            } else {
                m_p = skipPast(after, '>'); // a bogus comment
            }
        } else if (isAlpha(*after)) {
            return readTag(lt, MarkupTag::Kind::Start);
        } else {
            noteText(lt, after);
            m_p = after;
        }
    }
    MarkupTag end;
    end.begin = end.end = m_end;
    return end;
}

void MarkupScanner::enterRawText(std::string_view lowerName) {
    m_state = State::RawText;
    m_rawTextName = lowerName;
}

void MarkupScanner::enterScriptData() {
    m_state = State::ScriptData;
    m_rawTextName = "script";
}

void MarkupScanner::enterPlaintext() {
    m_state = State::Plaintext;
}

void MarkupScanner::noteText(const char* from, const char* to) {
    for (const char* c = from; c < to && !(m_textBefore && m_wordBefore); ++c) {
        if (*c != '\0') {
            m_textBefore = true;
            m_wordBefore = m_wordBefore || !isSpace(*c);
        }
    }
}

// Tokenizes a tag from its '<' on, as the HTML tokenizer does. A tag the
// input ends inside is dropped by the tokenizer, so it ends the input here.
MarkupTag MarkupScanner::readTag(const char* lt, MarkupTag::Kind kind) {
    MarkupTag tag;
    tag.kind = kind;
    tag.begin = lt;
    tag.textBefore = std::exchange(m_textBefore, false);
    tag.wordBefore = std::exchange(m_wordBefore, false);
    const char* p = lt + (kind == MarkupTag::Kind::End ? 2 : 1);
    const char* nameStart = p;
    while (p < m_end && !isSpace(*p) && *p != '/' && *p != '>') {
        ++p;
    }
    tag.name = std::string_view(nameStart, static_cast<std::size_t>(p - nameStart));
    const char* attributesStart = p;
    enum class State { BeforeName, Name, AfterName, BeforeValue, SelfClosing };
    State state = State::BeforeName;
    while (p < m_end) {
        const char c = *p;
        switch (state) {
        case State::BeforeName:
            if (c == '/') {
                state = State::SelfClosing;
            } else if (c == '>') {
                tag.attributes = std::string_view(attributesStart,
                                                  static_cast<std::size_t>(p - attributesStart));
                tag.end = m_p = p + 1;
                return tag;
            } else if (!isSpace(c)) {
                state = State::Name; // the first character, even '=', belongs to the name
            }
            ++p;
            break;
        case State::Name:
            if (isSpace(c) || c == '/' || c == '>') {
                state = State::AfterName;
            } else {
                if (c == '=') {
                    state = State::BeforeValue;
                }
                ++p;
            }
            break;
        case State::AfterName:
            if (c == '=') {
                state = State::BeforeValue;
                ++p;
            } else if (isSpace(c)) {
                ++p;
            } else {
                state = State::BeforeName; // '/', '>' or a new name
            }
            break;
        case State::BeforeValue:
            if (isSpace(c)) {
                ++p;
            } else if (c == '"' || c == '\'') {
                const char* close = findChar(p + 1, m_end, c);
                if (!close) {
                    p = m_end;
                } else {
                    p = close + 1;
                    state = State::BeforeName; // after a quoted value
                }
            } else if (c == '>') {
                state = State::BeforeName;
            } else {
                while (p < m_end && !isSpace(*p) && *p != '>') {
                    ++p;
                }
                state = State::BeforeName;
            }
            break;
        case State::SelfClosing:
            if (c == '>') {
                tag.selfClosing = true;
                tag.attributes = std::string_view(attributesStart,
                                                  static_cast<std::size_t>(p - attributesStart));
                tag.end = m_p = p + 1;
                return tag;
            }
            state = State::BeforeName; // reconsumed
            break;
        }
    }
    m_p = m_end;
    MarkupTag end;
    end.begin = end.end = m_end;
    return end;
}

const char* MarkupScanner::skipPast(const char* from, char c) const {
    const char* at = findChar(from, m_end, c);
    return at ? at + 1 : m_end;
}

// "<!--", "<!DOCTYPE" and bogus comments all end where the tokenizer ends them.
const char* MarkupScanner::declarationEnd(const char* lt) const {
    const char* body = lt + 2;
    if (m_end - body >= 2 && body[0] == '-' && body[1] == '-') {
        return commentEnd(body + 2);
    }
    return skipPast(body, '>');
}

// Where a comment whose text starts at p ends: after the first run of two or
// more dashes followed by '>' or "!>", or at once for "<!-->" and "<!--->".
const char* MarkupScanner::commentEnd(const char* p) const {
    if (p < m_end && *p == '>') {
        return p + 1;
    }
    if (m_end - p >= 2 && p[0] == '-' && p[1] == '>') {
        return p + 2;
    }
    while (p < m_end) {
        const char* dash = findChar(p, m_end, '-');
        if (!dash) {
            return m_end;
        }
        const char* c = dash;
        while (c < m_end && *c == '-') {
            ++c;
        }
        if (c - dash >= 2 && c < m_end) {
            if (*c == '>') {
                return c + 1;
            }
            if (*c == '!' && c + 1 < m_end && c[1] == '>') {
                return c + 2;
            }
        }
        p = c;
    }
    return m_end;
}

// Does "</name" followed by a blank, '/' or '>' start at p?
bool MarkupScanner::endTagAt(const char* p, std::string_view lowerName) const {
    if (m_end - p < static_cast<std::ptrdiff_t>(lowerName.size() + 3) || p[0] != '<' ||
        p[1] != '/') {
        return false;
    }
    if (!ascii::equalsNoCase(std::string_view(p + 2, lowerName.size()), lowerName)) {
        return false;
    }
    const char after = p[2 + lowerName.size()];
    return isSpace(after) || after == '/' || after == '>';
}

// Does "<name" followed by a blank, '/' or '>' start at p?
bool MarkupScanner::startTagAt(const char* p, std::string_view lowerName) const {
    if (m_end - p < static_cast<std::ptrdiff_t>(lowerName.size() + 2) || p[0] != '<') {
        return false;
    }
    if (!ascii::equalsNoCase(std::string_view(p + 1, lowerName.size()), lowerName)) {
        return false;
    }
    const char after = p[1 + lowerName.size()];
    return isSpace(after) || after == '/' || after == '>';
}

// Where the text of a title, textarea, style... ends: at its end tag.
const char* MarkupScanner::rawTextEnd(const char* p) const {
    while (const char* lt = findChar(p, m_end, '<')) {
        if (endTagAt(lt, m_rawTextName)) {
            return lt;
        }
        p = lt + 1;
    }
    return m_end;
}

// Script data with its escapes: "<!--" escapes, and "<script" inside an
// escape hides "</script>" until "-->".
const char* MarkupScanner::scriptDataEnd(const char* p) const {
    enum class State { Data, Escaped, DoubleEscaped } state = State::Data;
    while (p < m_end) {
        if (state == State::Data) {
            const char* lt = findChar(p, m_end, '<');
            if (!lt) {
                return m_end;
            }
            if (endTagAt(lt, "script")) {
                return lt;
            }
            p = lt + 1;
            if (m_end - lt >= 4 && lt[1] == '!' && lt[2] == '-' && lt[3] == '-') {
                state = State::Escaped;
                p = lt + 4;
                while (p < m_end && *p == '-') {
                    ++p; // "<!---->": the dashes may close at once
                }
                if (p < m_end && *p == '>') {
                    state = State::Data;
                    ++p;
                }
            }
            continue;
        }
        const char* c = p;
        while (c < m_end && *c != '<' && *c != '-') {
            ++c;
        }
        if (c >= m_end) {
            return m_end;
        }
        if (*c == '-') {
            const char* dashes = c;
            while (c < m_end && *c == '-') {
                ++c;
            }
            if (c - dashes >= 2 && c < m_end && *c == '>') {
                state = State::Data;
                ++c;
            }
            p = c;
            continue;
        }
        p = c + 1;
        if (state == State::Escaped) {
            if (endTagAt(c, "script")) {
                return c;
            }
            if (startTagAt(c, "script")) {
                state = State::DoubleEscaped;
                p = c + 7;
            }
        } else if (endTagAt(c, "script")) {
            state = State::Escaped;
            p = c + 8;
        }
    }
    return m_end;
}

} // namespace vt
