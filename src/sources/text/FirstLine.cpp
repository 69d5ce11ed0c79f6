#include "sources/text/FirstLine.h"

#include <QChar>

namespace vt {

namespace {

// The code point at utf8[i], advancing i; invalid bytes count as one each.
char32_t next(std::string_view utf8, std::size_t& i) {
    const auto b = static_cast<unsigned char>(utf8[i++]);
    const int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
    if (extra == 0 || i + static_cast<std::size_t>(extra) > utf8.size()) {
        return b;
    }
    char32_t c = b & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
        c = c << 6 | (static_cast<unsigned char>(utf8[i++]) & 0x3F);
    }
    return c;
}

bool isMark(char32_t c) {
    const QChar::Category category = QChar::category(c);
    return category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
           category == QChar::Mark_Enclosing;
}

bool isSpace(char32_t c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == 0xA0;
}

// Where the first letter ends: leading space, punctuation before it, the
// letter (or digit) and its marks. 0 when the text has nothing but space.
std::size_t firstLetterEnd(std::string_view utf8) {
    std::size_t i = 0;
    bool seen = false;
    while (i < utf8.size()) {
        const std::size_t at = i;
        const char32_t c = next(utf8, i);
        if (isSpace(c) && !seen) {
            continue;
        }
        seen = true;
        if (QChar::isPunct(c)) {
            continue;
        }
        if (isSpace(c)) {
            return at; // punctuation alone
        }
        while (i < utf8.size()) {
            std::size_t after = i;
            if (!isMark(next(utf8, after))) {
                break;
            }
            i = after;
        }
        return i;
    }
    return seen ? utf8.size() : 0;
}

bool hasContent(std::string_view utf8) {
    for (const char c : utf8) {
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != '\f') {
            return true;
        }
    }
    return false;
}

} // namespace

void FirstLine::enterBlock(std::size_t depth, const FirstLineStyle& style, bool listItem) {
    if (m_state.active && !m_state.content) {
        // The first line goes on in the inner block; its own styles come first.
        m_state.line = style.line ? style.line : m_state.line;
        m_state.letter = style.letter ? style.letter : m_state.letter;
    } else if (style.any()) {
        m_state = {style.line, style.letter, depth, true, false};
    } else {
        end();
        return;
    }
    if (listItem) {
        m_state.line.reset();
    }
    if (!m_state.line && !m_state.letter) {
        end();
    }
}

void FirstLine::leaveBlock(std::size_t depth) {
    if (m_state.active && (m_state.content || depth <= m_state.start)) {
        end();
    }
}

FirstLine::State FirstLine::suspend() {
    const State state = m_state;
    end();
    return state;
}

void FirstLine::split(std::string_view utf8, bool preservesBreaks, bool ownTransform,
                      std::vector<Piece>& out) {
    out.clear();
    if (!m_state.active) {
        out.push_back({utf8, std::nullopt});
        return;
    }
    if (m_state.letter) {
        const std::size_t end = firstLetterEnd(utf8);
        if (end > 0) {
            out.push_back({utf8.substr(0, end), m_state.letter});
            utf8.remove_prefix(end);
            m_state.letter.reset();
            m_state.content = true;
        }
    }
    const std::optional<TextTransform> line = ownTransform ? std::nullopt : m_state.line;
    const std::size_t lineFeed = preservesBreaks ? utf8.find('\n') : std::string_view::npos;
    if (lineFeed != std::string_view::npos) {
        out.push_back({utf8.substr(0, lineFeed + 1), line});
        out.push_back({utf8.substr(lineFeed + 1), std::nullopt});
        end();
        return;
    }
    if (!utf8.empty()) {
        out.push_back({utf8, line});
    }
    m_state.content = m_state.content || hasContent(utf8);
    if (!m_state.line && !m_state.letter) {
        end();
    }
}

} // namespace vt
