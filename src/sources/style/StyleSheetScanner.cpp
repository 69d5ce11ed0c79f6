#include "sources/style/StyleSheetScanner.h"

#include "sources/style/CssText.h"
#include "sources/style/CssTokens.h"
#include "sources/style/MediaQuery.h"

#include <string>
#include <vector>

namespace vt::css {

namespace {

using Rule = std::function<void(std::string_view, std::string_view)>;

// Consumes the rules of a sheet the way CSS syntax does, over its tokens;
// every block is skipped in one step through its paired closing token, so
// the work stays linear however the brackets nest.
class Scanner {
  public:
    Scanner(std::string_view sheet, const Rule& rule)
        : m_s(sheet), m_tokens(tokenize(sheet)), m_rule(rule) {}

    // The rules of the sheet and of the group rules (such as @media) that
    // apply, with a stack of the groups open: they may nest deeply.
    void run() {
        std::vector<std::size_t> groupEnds{m_tokens.size()};
        std::size_t i = 0;
        while (!groupEnds.empty()) {
            const std::size_t end = groupEnds.back();
            if (i >= end) {
                groupEnds.pop_back();
                i = end + 1; // after the group's closing brace
                continue;
            }
            const bool topLevel = groupEnds.size() == 1;
            const TokenType t = type(i);
            if (t == TokenType::Whitespace ||
                (topLevel && (t == TokenType::Cdo || t == TokenType::Cdc))) {
                ++i;
            } else if (t == TokenType::AtKeyword) {
                const AtRule rule = atRule(i, end);
                i = rule.next;
                if (rule.enter) {
                    groupEnds.push_back(rule.blockEnd);
                }
            } else {
                i = qualifiedRule(i, end, topLevel);
            }
        }
    }

  private:
    TokenType type(std::size_t i) const { return m_tokens[i].type; }

    std::string_view textOf(std::size_t first, std::size_t last) const {
        if (first >= last) {
            return {};
        }
        const std::size_t from = m_tokens[first].start;
        const std::size_t to = last < m_tokens.size() ? m_tokens[last].start : m_s.size();
        return m_s.substr(from, to - from);
    }

    // The text from token `first` up to the token `last` (not included), or
    // to the end of the sheet.
    std::string_view blockText(std::size_t open) const {
        const Token& token = m_tokens[open];
        const std::size_t to =
            token.match < m_tokens.size() ? m_tokens[token.match].start : m_s.size();
        return m_s.substr(token.end, to - token.end);
    }

    struct AtRule {
        std::size_t next;         // the token after it, or the first of its block
        bool enter = false;       // whether its block holds rules that apply
        std::size_t blockEnd = 0; // the closing brace of the block entered
    };

    AtRule atRule(std::size_t at, std::size_t end) {
        std::string name;
        std::size_t p = 1;
        readIdentifier(m_s.substr(m_tokens[at].start, m_tokens[at].end - m_tokens[at].start), p,
                       name);
        name = ascii::lowered(name);
        std::size_t i = at + 1;
        while (i < end && type(i) != TokenType::Semicolon && type(i) != TokenType::OpenCurly) {
            i = afterComponent(m_tokens, i);
        }
        if (i >= end || type(i) == TokenType::Semicolon) {
            return {i + 1}; // a statement: @import, @charset, @namespace, @layer a, b;
        }
        const std::size_t blockEnd = std::min<std::size_t>(m_tokens[i].match, end);
        const std::string prelude = clean(textOf(at + 1, i));
        bool enter = false;
        if (name == "media") {
            enter = mediaMatches(prelude);
        } else if (name == "supports") {
            // The conditions are about features browsers have; only a
            // negated one is taken as false.
            enter = ascii::trimmed(prelude).substr(0, 3) != "not";
        } else if (name == "layer" || name == "container") {
            enter = true;
        }
        if (enter) {
            return {i + 1, true, blockEnd};
        }
        return {blockEnd + 1};
    }

    // Whether a rule's prelude could be a selector at all: tokens no
    // selector has make the rule invalid.
    bool plausiblePrelude(std::size_t first, std::size_t last) const {
        for (std::size_t i = first; i < last; ++i) {
            switch (type(i)) {
            case TokenType::BadString:
            case TokenType::BadUrl:
            case TokenType::Url:
            case TokenType::Cdo:
            case TokenType::Cdc:
            case TokenType::Semicolon:
            case TokenType::AtKeyword:
            case TokenType::OpenCurly:
            case TokenType::CloseCurly:
            case TokenType::StrayClose:
                return false;
            default:
                break;
            }
        }
        return true;
    }

    // A prelude starting "--name:" is a custom property out of place.
    bool looksLikeCustomProperty(std::size_t first, std::size_t last) const {
        std::size_t i = first;
        while (i < last && type(i) == TokenType::Whitespace) {
            ++i;
        }
        if (i >= last || type(i) != TokenType::Ident ||
            m_s.compare(m_tokens[i].start, 2, "--") != 0) {
            return false;
        }
        ++i;
        while (i < last && type(i) == TokenType::Whitespace) {
            ++i;
        }
        return i < last && type(i) == TokenType::Colon;
    }

    std::size_t qualifiedRule(std::size_t first, std::size_t end, bool topLevel) {
        std::size_t i = first;
        while (i < end && type(i) != TokenType::OpenCurly) {
            i = afterComponent(m_tokens, i); // a stray '}' at the top joins the prelude
        }
        if (i >= end) {
            return end; // a prelude without a block is dropped
        }
        const std::size_t close = std::min<std::size_t>(m_tokens[i].match, end);
        if (looksLikeCustomProperty(first, i)) {
            if (topLevel) {
                return close + 1;
            }
            // Inside a group it is dropped as a bad declaration: up to the
            // next semicolon after its block.
            std::size_t j = close + 1;
            while (j < end && type(j) != TokenType::Semicolon) {
                j = afterComponent(m_tokens, j);
            }
            return j + 1;
        }
        if (plausiblePrelude(first, i)) {
            m_rule(clean(textOf(first, i)), blockText(i));
        }
        return close + 1;
    }

    static std::string clean(std::string_view text) {
        return text.find("/*") == std::string_view::npos ? std::string(text)
                                                         : withoutComments(text);
    }

    std::string_view m_s;
    std::vector<Token> m_tokens;
    const Rule& m_rule;
};

} // namespace

void forEachStyleRule(std::string_view sheet, const Rule& rule) {
    Scanner(sheet, rule).run();
}

} // namespace vt::css
