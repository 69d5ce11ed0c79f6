#include "sources/style/CssSelector.h"

#include "sources/style/CssSelectorParts.h"
#include "sources/style/CssText.h"

#include <algorithm>

namespace vt::css {

namespace {

// Longest chain of compounds accepted; longer selectors are dropped, which
// keeps matching bounded (no real page comes near).
constexpr std::size_t MaxCompounds = 64;
// Deepest nesting of :not() and :is().
constexpr int MaxNesting = 8;

class Parser {
  public:
    explicit Parser(std::string_view text) : m_s(text) {}

    bool list(std::vector<ComplexSelector>& out) {
        for (;;) {
            ComplexSelector selector;
            m_unsupported = false;
            m_pseudoElement = PseudoElement::None;
            if (!complex(selector.compounds, false, 0)) {
                return false;
            }
            // A pseudo-element ends the selector.
            if (m_pseudoElement != PseudoElement::None &&
                !ascii::trimmed(m_s.substr(m_pseudoEnd, m_p - m_pseudoEnd)).empty()) {
                m_unsupported = true;
            }
            if (!m_unsupported) {
                selector.pseudoElement = m_pseudoElement;
                // A pseudo-element weighs as a type.
                selector.specificity = specificityOf(selector.compounds) +
                                       (m_pseudoElement != PseudoElement::None ? 1 : 0);
                out.push_back(std::move(selector));
            }
            skipSpace();
            if (atEnd()) {
                return true;
            }
            if (m_s[m_p] != ',') {
                return false;
            }
            ++m_p;
        }
    }

  private:
    bool atEnd() const { return m_p >= m_s.size(); }
    char peek(std::size_t ahead = 0) const {
        return m_p + ahead < m_s.size() ? m_s[m_p + ahead] : '\0';
    }
    void skipSpace() {
        while (!atEnd() && ascii::isSpace(m_s[m_p])) {
            ++m_p;
        }
    }

    // Compounds in source order are collected, then reversed.
    bool complex(std::vector<Compound>& out, bool compoundOnly, int depth) {
        skipSpace();
        Combinator pending = Combinator::None;
        for (;;) {
            Compound c;
            if (!compound(c, depth)) {
                return false;
            }
            c.combinator = pending;
            out.push_back(std::move(c));
            if (out.size() > MaxCompounds) {
                return false;
            }
            const std::size_t before = m_p;
            skipSpace();
            const char next = peek();
            if (atEnd() || next == ',' || next == ')') {
                break;
            }
            if (next == '>' || next == '+' || next == '~') {
                pending = next == '>'   ? Combinator::Child
                          : next == '+' ? Combinator::NextSibling
                                        : Combinator::SubsequentSibling;
                ++m_p;
                skipSpace();
            } else if (m_p > before) {
                pending = Combinator::Descendant;
            } else {
                return false;
            }
            if (compoundOnly) {
                return false; // arguments of :not() and :is() are kept simple
            }
        }
        // Each compound holds the combinator to its left neighbour; the
        // subject comes first.
        std::reverse(out.begin(), out.end());
        return true;
    }

    bool compound(Compound& c, int depth) {
        bool any = false;
        std::string name;
        if (peek() == '*') {
            ++m_p;
            any = true;
        } else if (readIdentifier(m_s, m_p, name)) {
            c.tag = ascii::lowered(name);
            any = true;
        }
        if (peek() == '|' && peek(1) != '=') { // a namespace prefix: take what follows
            ++m_p;
            c.tag.clear();
            if (peek() == '*') {
                ++m_p;
            } else if (readIdentifier(m_s, m_p, name)) {
                c.tag = ascii::lowered(name);
            } else {
                return false;
            }
        }
        for (;;) {
            const char ch = peek();
            if (ch == '#') {
                ++m_p;
                if (!readIdentifier(m_s, m_p, name)) {
                    return false; // "#1a" is no identifier: the rule is invalid
                }
                c.id = name;
            } else if (ch == '.') {
                ++m_p;
                if (!readIdentifier(m_s, m_p, name)) {
                    return false;
                }
                c.classes.push_back(name);
            } else if (ch == '[') {
                ++m_p;
                AttributeTest test;
                if (!attribute(test)) {
                    return false;
                }
                c.attributes.push_back(std::move(test));
            } else if (ch == ':') {
                if (!pseudo(c, depth)) {
                    return false;
                }
            } else {
                break;
            }
            any = true;
        }
        return any;
    }

    bool attribute(AttributeTest& test) {
        skipSpace();
        std::string name;
        if (peek() == '*' || peek() == '|') { // any or no namespace
            m_p += peek() == '*' ? 1 : 0;
            if (peek() != '|') {
                return false;
            }
            ++m_p;
        }
        if (!readIdentifier(m_s, m_p, name)) {
            return false;
        }
        if (peek() == '|' && peek(1) != '=') {
            ++m_p;
            if (!readIdentifier(m_s, m_p, name)) {
                return false;
            }
        }
        test.name = ascii::lowered(name);
        skipSpace();
        if (peek() == ']') {
            ++m_p;
            return true;
        }
        const char op = peek();
        if (op == '=') {
            test.op = AttributeTest::Op::Equals;
            ++m_p;
        } else if (peek(1) == '=' &&
                   (op == '~' || op == '|' || op == '^' || op == '$' || op == '*')) {
            test.op = op == '~'   ? AttributeTest::Op::Includes
                      : op == '|' ? AttributeTest::Op::DashMatch
                      : op == '^' ? AttributeTest::Op::Prefix
                      : op == '$' ? AttributeTest::Op::Suffix
                                  : AttributeTest::Op::Contains;
            m_p += 2;
        } else {
            return false;
        }
        skipSpace();
        if (peek() == '"' || peek() == '\'') {
            const std::size_t end = stringEnd(m_s, m_p);
            if (end < m_p + 2 || m_s[end - 1] != m_s[m_p]) {
                return false; // a bad string
            }
            std::size_t q = m_p + 1;
            test.value.clear();
            while (q < end - 1) {
                if (m_s[q] == '\\' && q + 1 < end - 1) {
                    std::string escaped;
                    std::size_t e = q;
                    if (readIdentifier(m_s.substr(0, end - 1), e, escaped) && e > q) {
                        test.value += escaped;
                        q = e;
                        continue;
                    }
                    test.value.push_back(m_s[q + 1]);
                    q += 2;
                    continue;
                }
                test.value.push_back(m_s[q++]);
            }
            m_p = end;
        } else if (!readIdentifier(m_s, m_p, test.value)) {
            return false;
        }
        skipSpace();
        if (peek() == 'i' || peek() == 'I' || peek() == 's' || peek() == 'S') {
            test.ignoreCase = ascii::lower(peek()) == 'i';
            ++m_p;
            skipSpace();
        }
        if (peek() != ']') {
            return false;
        }
        ++m_p;
        return true;
    }

    bool pseudo(Compound& c, int depth) {
        ++m_p; // ':'
        const bool element = peek() == ':';
        if (element) {
            ++m_p;
        }
        std::string name;
        if (!readIdentifier(m_s, m_p, name)) {
            return false;
        }
        name = ascii::lowered(name);
        const bool function = peek() == '(';
        if (element || (!function && isLegacyPseudoElement(name))) {
            if (!function && depth == 0 && m_pseudoElement == PseudoElement::None &&
                (name == "first-line" || name == "first-letter" || name == "before" ||
                 name == "after")) {
                m_pseudoElement = name == "first-line"     ? PseudoElement::FirstLine
                                  : name == "first-letter" ? PseudoElement::FirstLetter
                                  : name == "before"       ? PseudoElement::Before
                                                           : PseudoElement::After;
                m_pseudoEnd = m_p;
                return true;
            }
            m_unsupported = true; // generated content and parts stay out
            return !function || skipArguments();
        }
        if (!function) {
            if (name == "first-child" || name == "last-child" || name == "only-child") {
                if (name != "last-child") {
                    c.pseudoClasses.push_back({PseudoClass::Kind::NthChild, 0, 1, {}});
                }
                if (name != "first-child") {
                    c.pseudoClasses.push_back(
                        {PseudoClass::Kind::NthLastChild, 0, 1, {}, name != "only-child"});
                }
            } else if (name == "first-of-type" || name == "last-of-type" ||
                       name == "only-of-type") {
                if (name != "last-of-type") {
                    c.pseudoClasses.push_back({PseudoClass::Kind::NthOfType, 0, 1, {}});
                }
                if (name != "first-of-type") {
                    c.pseudoClasses.push_back(
                        {PseudoClass::Kind::NthLastOfType, 0, 1, {}, name != "only-of-type"});
                }
            } else if (name == "root") {
                c.pseudoClasses.push_back({PseudoClass::Kind::Root, 0, 0, {}});
            } else if (name == "empty") {
                c.pseudoClasses.push_back({PseudoClass::Kind::Empty, 0, 0, {}});
            } else if (isUnsupportedPseudoClass(name)) {
                m_unsupported = true;
            } else {
                return false;
            }
            return true;
        }
        ++m_p; // '('
        if (name == "nth-child" || name == "nth-last-child" || name == "nth-of-type" ||
            name == "nth-last-of-type") {
            PseudoClass p;
            p.kind = name == "nth-child"        ? PseudoClass::Kind::NthChild
                     : name == "nth-last-child" ? PseudoClass::Kind::NthLastChild
                     : name == "nth-of-type"    ? PseudoClass::Kind::NthOfType
                                                : PseudoClass::Kind::NthLastOfType;
            const std::size_t close = m_s.find(')', m_p);
            if (close == std::string_view::npos ||
                !parseNth(m_s.substr(m_p, close - m_p), p.a, p.b)) {
                return false;
            }
            m_p = close + 1;
            c.pseudoClasses.push_back(std::move(p));
            return true;
        }
        if (name == "not" || name == "is" || name == "where" || name == "matches" ||
            name == "-webkit-any") {
            if (depth >= MaxNesting) {
                return false;
            }
            PseudoClass p;
            p.kind = name == "not" ? PseudoClass::Kind::Not : PseudoClass::Kind::Is;
            for (;;) {
                std::vector<Compound> argument;
                if (!complex(argument, true, depth + 1)) {
                    return false;
                }
                p.arguments.push_back(std::move(argument.front()));
                skipSpace();
                if (peek() == ',') {
                    ++m_p;
                    continue;
                }
                if (peek() != ')') {
                    return false;
                }
                ++m_p;
                break;
            }
            if (name == "where") {
                p.b = -1; // marks zero specificity
            }
            c.pseudoClasses.push_back(std::move(p));
            return true;
        }
        if (isUnsupportedFunction(name)) {
            m_unsupported = true;
            return skipArguments();
        }
        return false;
    }

    // Skips to just after the ')' closing the arguments opened before m_p.
    bool skipArguments() {
        if (peek() == '(') {
            ++m_p;
        }
        int level = 1;
        while (!atEnd()) {
            const char ch = m_s[m_p];
            if (ch == '"' || ch == '\'') {
                m_p = stringEnd(m_s, m_p);
                continue;
            }
            ++m_p;
            if (ch == '(') {
                ++level;
            } else if (ch == ')' && --level == 0) {
                return true;
            }
        }
        return false;
    }

    std::string_view m_s;
    std::size_t m_p = 0;
    bool m_unsupported = false;
    PseudoElement m_pseudoElement = PseudoElement::None;
    std::size_t m_pseudoEnd = 0; // just after the pseudo-element
};

} // namespace

bool parseSelectorList(std::string_view text, std::vector<ComplexSelector>& out) {
    const std::size_t before = out.size();
    if (!Parser(ascii::trimmed(text)).list(out)) {
        out.resize(before);
        return false;
    }
    return true;
}

} // namespace vt::css
