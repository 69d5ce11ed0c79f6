#include "sources/style/CssDeclarations.h"

#include "sources/style/CssText.h"

#include <optional>

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
    {"-webkit-box", Keyword::Flex},
    {"-webkit-flex", Keyword::Flex},
    {"-ms-flexbox", Keyword::Flex},
    {"inline-flex", Keyword::InlineFlex},
    {"-webkit-inline-box", Keyword::InlineFlex},
    {"-webkit-inline-flex", Keyword::InlineFlex},
    {"grid", Keyword::Grid},
    {"-ms-grid", Keyword::Grid},
    {"inline-grid", Keyword::InlineGrid},
    {"flow-root", Keyword::FlowRoot},
    {"run-in", Keyword::Block},
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

template <std::size_t N>
std::optional<Keyword> lookUp(const Entry (&entries)[N], std::string_view value) {
    for (const Entry& entry : entries) {
        if (value == entry.name) {
            return entry.keyword;
        }
    }
    return std::nullopt;
}

std::optional<Property> propertyNamed(std::string_view name) {
    if (name == "display") {
        return Property::Display;
    }
    if (name == "visibility") {
        return Property::Visibility;
    }
    if (name == "text-transform") {
        return Property::TextTransform;
    }
    if (name == "float") {
        return Property::Float;
    }
    if (name == "position") {
        return Property::Position;
    }
    if (name == "white-space" || name == "white-space-collapse") {
        return Property::WhiteSpace;
    }
    return std::nullopt;
}

std::optional<Keyword> keywordFor(Property property, std::string_view value) {
    if (value == "inherit") {
        return Keyword::Inherit;
    }
    if (value == "initial" || value == "unset" || value == "revert" || value == "revert-layer") {
        // unset inherits the inherited properties
        const bool inherited = property == Property::Visibility ||
                               property == Property::TextTransform ||
                               property == Property::WhiteSpace;
        return inherited && value != "initial" ? Keyword::Inherit : Keyword::Initial;
    }
    switch (property) {
    case Property::Display:
        return lookUp(DisplayValues, value);
    case Property::Visibility:
        return lookUp(VisibilityValues, value);
    case Property::TextTransform:
        return lookUp(TransformValues, value);
    case Property::Float:
        return lookUp(FloatValues, value);
    case Property::Position:
        return lookUp(PositionValues, value);
    case Property::WhiteSpace:
        return lookUp(WhiteSpaceValues, value);
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

void parseDeclaration(std::string_view text, Declarations& out) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) {
        return;
    }
    char nameBuffer[32];
    const auto name = normalizedValue(ascii::trimmed(text.substr(0, colon)), nameBuffer);
    if (!name) {
        return;
    }
    const auto property = propertyNamed(*name);
    if (!property) {
        return;
    }
    std::string_view value = ascii::trimmed(text.substr(colon + 1));
    bool important = false;
    if (const std::size_t bang = value.rfind('!'); bang != std::string_view::npos) {
        char flagBuffer[32];
        const auto flag = normalizedValue(value.substr(bang + 1), flagBuffer);
        if (!flag || *flag != "important") {
            return; // anything else after '!' makes the declaration invalid
        }
        important = true;
        value = ascii::trimmed(value.substr(0, bang));
    }
    char valueBuffer[32];
    const auto normalized = normalizedValue(value, valueBuffer);
    if (!normalized) {
        return;
    }
    if (const auto keyword = keywordFor(*property, *normalized)) {
        out.set(*property, *keyword, important);
    }
}

} // namespace

Declarations parseDeclarations(std::string_view block) {
    Declarations result;
    std::string cleaned; // the block without comments, only when it has some
    if (block.find("/*") != std::string_view::npos) {
        cleaned = withoutComments(block);
        block = cleaned;
    }
    // Split at semicolons outside strings, brackets and nested blocks.
    std::size_t start = 0;
    int depth = 0;
    for (std::size_t i = 0; i < block.size(); ++i) {
        const char c = block[i];
        if (c == '"' || c == '\'') {
            i = stringEnd(block, i) - 1;
        } else if (c == '\\') {
            ++i;
        } else if (c == '(' || c == '[' || c == '{') {
            ++depth;
        } else if ((c == ')' || c == ']' || c == '}') && depth > 0) {
            --depth;
        } else if (c == ';' && depth == 0) {
            parseDeclaration(block.substr(start, i - start), result);
            start = i + 1;
        }
    }
    if (start < block.size() && depth == 0) {
        parseDeclaration(block.substr(start), result);
    }
    return result;
}

} // namespace vt::css
