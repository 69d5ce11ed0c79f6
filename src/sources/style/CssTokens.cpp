#include "sources/style/CssTokens.h"

#include <array>
#include <utility>

namespace vt::css {

namespace {

bool isNewline(char c) {
    return c == '\n' || c == '\r' || c == '\f';
}

bool isWhitespace(char c) {
    return c == ' ' || c == '\t' || isNewline(c);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isHex(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool isNameStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
}

bool isNameCode(char c) {
    return isNameStart(c) || isDigit(c) || c == '-';
}

bool isNonPrintable(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u <= 0x08 || u == 0x0B || (u >= 0x0E && u <= 0x1F) || u == 0x7F;
}

// The characters that are a token by themselves, looked up by their byte;
// Whitespace stands for none (a blank is never a token by itself here).
constexpr auto SingleCharacterTokens = [] {
    std::array<TokenType, 256> table{};
    table.fill(TokenType::Whitespace);
    for (const auto& [c, type] : {std::pair{'(', TokenType::OpenParen},
                                  {')', TokenType::CloseParen},
                                  {'[', TokenType::OpenSquare},
                                  {']', TokenType::CloseSquare},
                                  {'{', TokenType::OpenCurly},
                                  {'}', TokenType::CloseCurly},
                                  {',', TokenType::Comma},
                                  {':', TokenType::Colon},
                                  {';', TokenType::Semicolon}}) {
        table[static_cast<unsigned char>(c)] = type;
    }
    return table;
}();

class Tokenizer {
  public:
    explicit Tokenizer(std::string_view text) : m_s(text) {}

    std::vector<Token> run() {
        std::vector<Token> tokens;
        tokens.reserve(m_s.size() / 4 + 1);
        std::vector<std::uint32_t> open; // indices of the open blocks
        while (m_p < m_s.size()) {
            const std::size_t start = m_p;
            if (m_s[m_p] == '/' && at(1) == '*') {
                const std::size_t close = m_s.find("*/", m_p + 2);
                m_p = close == std::string_view::npos ? m_s.size() : close + 2;
                continue;
            }
            const TokenType type = next();
            Token token{type, static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(m_p)};
            const auto index = static_cast<std::uint32_t>(tokens.size());
            if (type == TokenType::CloseSquare || type == TokenType::CloseParen ||
                type == TokenType::CloseCurly) {
                if (!open.empty() && closes(tokens[open.back()].type, type)) {
                    tokens[open.back()].match = index;
                    open.pop_back();
                } else {
                    token.type = TokenType::StrayClose;
                }
            } else if (opensBlock(type)) {
                open.push_back(index);
            }
            tokens.push_back(token);
        }
        for (const std::uint32_t index : open) {
            tokens[index].match = static_cast<std::uint32_t>(tokens.size());
        }
        return tokens;
    }

  private:
    static bool closes(TokenType opener, TokenType closer) {
        switch (opener) {
        case TokenType::OpenSquare:
            return closer == TokenType::CloseSquare;
        case TokenType::OpenCurly:
            return closer == TokenType::CloseCurly;
        default:
            return closer == TokenType::CloseParen;
        }
    }

    char at(std::size_t offset) const {
        return m_p + offset < m_s.size() ? m_s[m_p + offset] : '\0';
    }
    bool more(std::size_t offset) const { return m_p + offset < m_s.size(); }

    // Whether the two characters at `offset` are a valid escape.
    bool validEscape(std::size_t offset) const {
        return more(offset) && m_s[m_p + offset] == '\\' && !isNewline(at(offset + 1));
    }

    bool startsIdentifier(std::size_t offset) const {
        const char c = at(offset);
        if (!more(offset)) {
            return false;
        }
        if (c == '-') {
            return (more(offset + 1) && (isNameStart(at(offset + 1)) || at(offset + 1) == '-')) ||
                   validEscape(offset + 1);
        }
        return isNameStart(c) || validEscape(offset);
    }

    bool startsNumber(std::size_t offset) const {
        const char c = at(offset);
        if (c == '+' || c == '-') {
            return isDigit(at(offset + 1)) || (at(offset + 1) == '.' && isDigit(at(offset + 2)));
        }
        if (c == '.') {
            return isDigit(at(offset + 1));
        }
        return more(offset) && isDigit(c);
    }

    // After the backslash of a valid escape.
    void escape() {
        ++m_p; // the backslash
        if (!more(0)) {
            return;
        }
        if (!isHex(m_s[m_p])) {
            ++m_p;
            return;
        }
        for (int digits = 0; digits < 6 && more(0) && isHex(m_s[m_p]); ++digits) {
            ++m_p;
        }
        if (more(0) && isWhitespace(m_s[m_p])) {
            m_p += m_s[m_p] == '\r' && at(1) == '\n' ? 2 : 1;
        }
    }

    // Consumes a name; returns whether it spells "url" in any case.
    bool name() {
        std::size_t length = 0;
        char spelled[3] = {};
        bool escaped = false;
        while (more(0)) {
            const char c = m_s[m_p];
            if (isNameCode(c)) {
                if (length < 3) {
                    spelled[length] = static_cast<char>(c | 0x20);
                }
                ++length;
                ++m_p;
            } else if (validEscape(0)) {
                // An escaped name is compared after the escape is decoded;
                // "url" spelled with escapes is too rare to be worth it.
                escaped = true;
                ++length;
                escape();
            } else {
                break;
            }
        }
        return !escaped && length == 3 && spelled[0] == 'u' && spelled[1] == 'r' &&
               spelled[2] == 'l';
    }

    void whitespace() {
        while (more(0) && isWhitespace(m_s[m_p])) {
            ++m_p;
        }
    }

    TokenType string(char quote) {
        ++m_p;
        while (more(0)) {
            const char c = m_s[m_p];
            if (c == quote) {
                ++m_p;
                return TokenType::String;
            }
            if (isNewline(c)) {
                return TokenType::BadString; // the line feed is not part of it
            }
            if (c == '\\') {
                if (!more(1)) {
                    ++m_p;
                } else if (isNewline(at(1))) {
                    m_p += at(1) == '\r' && at(2) == '\n' ? 3 : 2;
                } else {
                    escape();
                }
                continue;
            }
            ++m_p;
        }
        return TokenType::String;
    }

    TokenType badUrlRemnants() {
        while (more(0)) {
            if (m_s[m_p] == ')') {
                ++m_p;
                break;
            }
            if (validEscape(0)) {
                escape();
            } else {
                ++m_p;
            }
        }
        return TokenType::BadUrl;
    }

    // After "url(" and the blanks that follow it.
    TokenType url() {
        while (more(0)) {
            const char c = m_s[m_p];
            if (c == ')') {
                ++m_p;
                return TokenType::Url;
            }
            if (isWhitespace(c)) {
                whitespace();
                if (!more(0) || m_s[m_p] == ')') {
                    m_p += more(0) ? 1 : 0;
                    return TokenType::Url;
                }
                return badUrlRemnants();
            }
            if (c == '"' || c == '\'' || c == '(' || isNonPrintable(c)) {
                return badUrlRemnants();
            }
            if (c == '\\') {
                if (!validEscape(0)) {
                    return badUrlRemnants();
                }
                escape();
                continue;
            }
            ++m_p;
        }
        return TokenType::Url;
    }

    TokenType identLike() {
        const bool isUrl = name();
        if (!more(0) || m_s[m_p] != '(') {
            return TokenType::Ident;
        }
        ++m_p;
        if (!isUrl) {
            return TokenType::Function;
        }
        const std::size_t open = m_p;
        whitespace();
        if (more(0) && (m_s[m_p] == '"' || m_s[m_p] == '\'')) {
            // A quoted url is a function with a string argument; the blanks
            // before the string are a token of their own.
            m_p = open;
            return TokenType::Function;
        }
        return url();
    }

    TokenType numeric() {
        if (m_s[m_p] == '+' || m_s[m_p] == '-') {
            ++m_p;
        }
        while (more(0) && isDigit(m_s[m_p])) {
            ++m_p;
        }
        if (at(0) == '.' && isDigit(at(1))) {
            m_p += 1;
            while (more(0) && isDigit(m_s[m_p])) {
                ++m_p;
            }
        }
        if ((at(0) == 'e' || at(0) == 'E') &&
            (isDigit(at(1)) || ((at(1) == '+' || at(1) == '-') && isDigit(at(2))))) {
            m_p += 2;
            while (more(0) && isDigit(m_s[m_p])) {
                ++m_p;
            }
        }
        if (startsIdentifier(0)) {
            name(); // a dimension's unit, never a url
        } else if (at(0) == '%') {
            ++m_p;
        }
        return TokenType::Numeric;
    }

    TokenType next() {
        const char c = m_s[m_p];
        if (isWhitespace(c)) {
            whitespace();
            return TokenType::Whitespace;
        }
        if (const TokenType single = SingleCharacterTokens[static_cast<unsigned char>(c)];
            single != TokenType::Whitespace) {
            ++m_p;
            return single;
        }
        switch (c) {
        case '"':
        case '\'':
            return string(c);
        case '#':
            if (more(1) && (isNameCode(at(1)) || validEscape(1))) {
                ++m_p;
                name();
                return TokenType::Hash;
            }
            break;
        case '+':
        case '.':
            if (startsNumber(0)) {
                return numeric();
            }
            break;
        case '-':
            if (startsNumber(0)) {
                return numeric();
            }
            if (at(1) == '-' && at(2) == '>') {
                m_p += 3;
                return TokenType::Cdc;
            }
            if (startsIdentifier(0)) {
                return identLike();
            }
            break;
        case '<':
            if (m_s.compare(m_p + 1, 3, "!--") == 0) {
                m_p += 4;
                return TokenType::Cdo;
            }
            break;
        case '@':
            if (startsIdentifier(1)) {
                ++m_p;
                name();
                return TokenType::AtKeyword;
            }
            break;
        case '\\':
            if (validEscape(0)) {
                return identLike();
            }
            break;
        default:
            if (isDigit(c)) {
                return numeric();
            }
            if (isNameStart(c)) {
                return identLike();
            }
            break;
        }
        ++m_p;
        return TokenType::Delim;
    }

    std::string_view m_s;
    std::size_t m_p = 0;
};

} // namespace

std::vector<Token> tokenize(std::string_view text) {
    return Tokenizer(text).run();
}

} // namespace vt::css
