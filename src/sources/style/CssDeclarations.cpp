#include "sources/style/CssDeclarations.h"

#include "sources/style/CssText.h"
#include "sources/style/CssTokens.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vt::css {

void Declarations::set(Property p, Keyword k, bool isImportantNow) {
    if (isImportant(p) && !isImportantNow) {
        return; // an earlier !important declaration of the block stays
    }
    value[static_cast<std::size_t>(p)] = k;
    present |= bit(p);
    if (isImportantNow) {
        important |= bit(p);
    }
}

void Declarations::remove(Property p) {
    present &= static_cast<std::uint8_t>(~bit(p));
    important &= static_cast<std::uint8_t>(~bit(p));
}

namespace {

struct Entry {
    std::string_view name;
    Keyword keyword;
};

constexpr Entry DisplayValues[] = {
    {"none", Keyword::None},
    {"inline", Keyword::Inline},
    {"block", Keyword::Block},
    {"list-item", Keyword::ListItem},
    {"inline-block", Keyword::InlineBlock},
    {"table", Keyword::Table},
    {"inline-table", Keyword::InlineTable},
    {"table-caption", Keyword::TableCaption},
    {"table-row-group", Keyword::TableRowGroup},
    {"table-header-group", Keyword::TableHeaderGroup},
    {"table-footer-group", Keyword::TableFooterGroup},
    {"table-row", Keyword::TableRow},
    {"table-cell", Keyword::TableCell},
    {"table-column", Keyword::TableColumn},
    {"table-column-group", Keyword::TableColumnGroup},
    {"flex", Keyword::Flex},
    {"-webkit-flex", Keyword::Flex},
    {"-ms-flexbox", Keyword::Flex},
    {"inline-flex", Keyword::InlineFlex},
    {"-webkit-inline-flex", Keyword::InlineFlex},
    {"grid", Keyword::Grid},
    {"-ms-grid", Keyword::Grid},
    {"inline-grid", Keyword::InlineGrid},
    {"flow-root", Keyword::FlowRoot},
    {"run-in", Keyword::Block},
    // The old box layout: line-clamped text is laid out as a block, not as
    // flex items.
    {"-webkit-box", Keyword::Block},
    {"-webkit-inline-box", Keyword::InlineBlock},
    {"contents", Keyword::Contents},
    // two-keyword forms
    {"block flow", Keyword::Block},
    {"inline flow", Keyword::Inline},
    {"inline flow-root", Keyword::InlineBlock},
    {"block flex", Keyword::Flex},
    {"inline flex", Keyword::InlineFlex},
    {"block grid", Keyword::Grid},
    {"inline grid", Keyword::InlineGrid},
    {"block table", Keyword::Table},
    {"inline table", Keyword::InlineTable},
    {"block flow-root", Keyword::FlowRoot},
    {"block flow list-item", Keyword::ListItem},
    {"list-item block", Keyword::ListItem},
    {"list-item flow", Keyword::ListItem},
};
constexpr Entry VisibilityValues[] = {
    {"visible", Keyword::Visible}, {"hidden", Keyword::Hidden}, {"collapse", Keyword::Collapse}};
constexpr Entry TransformValues[] = {{"none", Keyword::None},
                                     {"uppercase", Keyword::Uppercase},
                                     {"lowercase", Keyword::Lowercase},
                                     {"capitalize", Keyword::Capitalize}};
constexpr Entry FloatValues[] = {{"none", Keyword::None},
                                 {"left", Keyword::Left},
                                 {"right", Keyword::Right},
                                 {"inline-start", Keyword::Left},
                                 {"inline-end", Keyword::Right}};
constexpr Entry PositionValues[] = {
    {"static", Keyword::Static},     {"relative", Keyword::Relative},
    {"absolute", Keyword::Absolute}, {"fixed", Keyword::Fixed},
    {"sticky", Keyword::Sticky},     {"-webkit-sticky", Keyword::Sticky}};
constexpr Entry WhiteSpaceValues[] = {
    {"normal", Keyword::Normal},
    {"nowrap", Keyword::Nowrap},
    {"pre", Keyword::Pre},
    {"pre-wrap", Keyword::PreWrap},
    {"pre-line", Keyword::PreLine},
    {"break-spaces", Keyword::BreakSpaces},
    {"-moz-pre-wrap", Keyword::PreWrap},
    {"collapse", Keyword::Normal},
    {"preserve", Keyword::Pre},
    {"preserve nowrap", Keyword::Pre},
    {"preserve-breaks", Keyword::PreLine},
};

// Of ::before and ::after: whether they show something.
constexpr Entry ContentValues[] = {{"none", Keyword::None}, {"normal", Keyword::None}};

// The properties read, by name: the values each takes and whether it is
// inherited (unset then inherits rather than resets it).
struct PropertyEntry {
    std::string_view name;
    Property property;
    std::span<const Entry> values;
    bool inherited;
};

constexpr PropertyEntry Properties[] = {
    {"display", Property::Display, DisplayValues, false},
    {"visibility", Property::Visibility, VisibilityValues, true},
    {"text-transform", Property::TextTransform, TransformValues, true},
    {"float", Property::Float, FloatValues, false},
    {"position", Property::Position, PositionValues, false},
    {"white-space", Property::WhiteSpace, WhiteSpaceValues, true},
    {"white-space-collapse", Property::WhiteSpace, WhiteSpaceValues, true},
    {"content", Property::Content, ContentValues, false},
};

const PropertyEntry* propertyNamed(std::string_view name) {
    const auto found = std::find_if(std::begin(Properties), std::end(Properties),
                                    [&](const PropertyEntry& entry) { return entry.name == name; });
    return found == std::end(Properties) ? nullptr : &*found;
}

std::optional<Keyword> keywordFor(const PropertyEntry& property, std::string_view value) {
    if (value == "inherit") {
        return Keyword::Inherit;
    }
    if (value == "initial" || value == "unset" || value == "revert" || value == "revert-layer") {
        return property.inherited && value != "initial" ? Keyword::Inherit : Keyword::Initial;
    }
    for (const Entry& entry : property.values) {
        if (value == entry.name) {
            return entry.keyword;
        }
    }
    return std::nullopt;
}

// Lower case with runs of blanks made one space; longer values are none of ours.
std::optional<std::string_view> normalizedValue(std::string_view value, char (&buffer)[32]) {
    std::size_t length = 0;
    bool blank = false;
    for (const char c : value) {
        if (ascii::isSpace(c)) {
            blank = length > 0;
            continue;
        }
        if (length + (blank ? 2 : 1) > sizeof buffer) {
            return std::nullopt;
        }
        if (blank) {
            buffer[length++] = ' ';
            blank = false;
        }
        buffer[length++] = ascii::lower(c);
    }
    return std::string_view(buffer, length);
}

void parseDeclaration(std::string_view rawName, std::string_view value, bool important,
                      Declarations& out) {
    std::string name;
    std::size_t at = 0;
    if (!readIdentifier(rawName, at, name) || name.size() > 31) {
        return;
    }
    const PropertyEntry* entry = propertyNamed(ascii::lowered(name));
    if (!entry) {
        return;
    }
    const Property property = entry->property;
    std::string cleaned;
    if (value.find("/*") != std::string_view::npos) {
        cleaned = withoutComments(value);
        value = cleaned;
    }
    if (property == Property::Content) {
        // Only whether it shows anything counts: quotes and blanks alone show nothing.
        bool shown = false;
        for (const char c : value) {
            shown = shown || !(ascii::isSpace(c) || c == '"' || c == '\'');
        }
        if (!shown) {
            out.set(property, Keyword::NothingShown, important);
            return;
        }
    }
    char valueBuffer[32];
    const auto normalized = normalizedValue(value, valueBuffer);
    if (!normalized) {
        if (property == Property::Content) {
            out.set(property, Keyword::Shown, important);
        }
        return;
    }
    if (const auto keyword = keywordFor(*entry, *normalized)) {
        out.set(property, *keyword, important);
    } else if (property == Property::Content) {
        out.set(property, Keyword::Shown, important);
    }
}

// The contents of a declaration block consumed as CSS consumes them: each
// declaration ends at a semicolon outside nested blocks; what is no
// declaration is taken as a nested rule, which ends with its own block, so
// the declarations after it still count. Nested rules themselves are not
// applied.
class BlockContents {
  public:
    BlockContents(std::string_view text, bool nested, Declarations& out)
        : m_s(text), m_tokens(tokenize(text)), m_out(out), m_nested(nested) {}

    void run() {
        std::size_t i = 0;
        while (i < m_tokens.size()) {
            const TokenType t = type(i);
            if (t == TokenType::Whitespace || t == TokenType::Semicolon) {
                ++i;
            } else if (ends(i)) {
                return;
            } else if (t == TokenType::AtKeyword) {
                i = atRule(i);
            } else if (const std::size_t after = declaration(i); after != 0) {
                i = after;
            } else {
                i = nestedRule(i);
            }
        }
    }

  private:
    TokenType type(std::size_t i) const { return m_tokens[i].type; }
    // A closing brace ends a sheet's block; a style attribute has none, and
    // one in it is a plain token.
    bool ends(std::size_t i) const {
        return i >= m_tokens.size() ||
               (m_nested && (type(i) == TokenType::CloseCurly ||
                             (type(i) == TokenType::StrayClose && m_s[m_tokens[i].start] == '}')));
    }
    std::size_t skipBlanks(std::size_t i) const {
        while (i < m_tokens.size() && type(i) == TokenType::Whitespace) {
            ++i;
        }
        return i;
    }
    std::string_view textOf(std::size_t first, std::size_t last) const {
        if (first >= last) {
            return {};
        }
        return m_s.substr(m_tokens[first].start, m_tokens[last - 1].end - m_tokens[first].start);
    }

    std::size_t atRule(std::size_t i) const {
        for (++i; !ends(i); i = afterComponent(m_tokens, i)) {
            if (type(i) == TokenType::Semicolon) {
                return i + 1;
            }
            if (type(i) == TokenType::OpenCurly) {
                return afterComponent(m_tokens, i);
            }
        }
        return i;
    }

    // Reads a declaration at `first`; returns the index after it, or 0 when
    // the tokens there make no declaration.
    std::size_t declaration(std::size_t first) {
        if (type(first) != TokenType::Ident) {
            return 0;
        }
        std::size_t i = skipBlanks(first + 1);
        if (i >= m_tokens.size() || type(i) != TokenType::Colon) {
            return 0;
        }
        const std::size_t valueStart = skipBlanks(i + 1);
        std::size_t end = valueStart;
        bool hasCurly = false;
        bool hasOthers = false;
        // The last two non-blank tokens, for "!important".
        std::size_t lastToken = m_tokens.size();
        std::size_t prevToken = m_tokens.size();
        std::size_t valueEnd = valueStart;
        while (!ends(end) && type(end) != TokenType::Semicolon) {
            if (type(end) != TokenType::Whitespace) {
                (type(end) == TokenType::OpenCurly ? hasCurly : hasOthers) = true;
                prevToken = lastToken;
                lastToken = end;
                valueEnd = afterComponent(m_tokens, end);
            }
            end = afterComponent(m_tokens, end);
        }
        const bool custom = m_s.compare(m_tokens[first].start, 2, "--") == 0;
        if (!custom && hasCurly && hasOthers) {
            return 0;
        }
        bool important = false;
        if (prevToken < m_tokens.size() && type(lastToken) == TokenType::Ident &&
            type(prevToken) == TokenType::Delim && m_s[m_tokens[prevToken].start] == '!' &&
            ascii::equalsNoCase(textOf(lastToken, lastToken + 1), "important")) {
            important = true;
            valueEnd = prevToken;
            while (valueEnd > valueStart && type(valueEnd - 1) == TokenType::Whitespace) {
                --valueEnd;
            }
        }
        if (!custom) {
            parseDeclaration(textOf(first, first + 1), textOf(valueStart, valueEnd), important,
                             m_out);
        }
        return ends(end) ? end : end + 1;
    }

    // Skips what the block holds that is no declaration: in a sheet, a
    // nested rule up to the end of its block; otherwise, and for junk, up to
    // the next semicolon.
    std::size_t nestedRule(std::size_t i) const {
        for (; !ends(i); i = afterComponent(m_tokens, i)) {
            if (type(i) == TokenType::Semicolon) {
                return i;
            }
            if (m_nested && type(i) == TokenType::OpenCurly) {
                return afterComponent(m_tokens, i);
            }
        }
        return i;
    }

    std::string_view m_s;
    std::vector<Token> m_tokens;
    Declarations& m_out;
    bool m_nested;
};

} // namespace

Declarations parseDeclarations(std::string_view block, bool inSheet) {
    Declarations result;
    BlockContents(block, inSheet, result).run();
    return result;
}

} // namespace vt::css
