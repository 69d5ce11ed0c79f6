#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace vt::css {

// The properties the rendered text depends on; all others are skipped.
enum class Property : std::uint8_t {
    Display,
    Visibility,
    TextTransform,
    Float,
    Position,
    WhiteSpace,
    Content, // of ::before and ::after: whether they show something
};
inline constexpr std::size_t PropertyCount = 7;

// Keyword values. Each property has its own small set; the CSS-wide keywords
// are shared.
enum class Keyword : std::uint8_t {
    Inherit,
    Initial, // also unset and revert where they differ little for us
    // display
    None,
    Inline,
    Block,
    ListItem,
    InlineBlock,
    Table,
    InlineTable,
    TableCaption,
    TableRowGroup,
    TableHeaderGroup,
    TableFooterGroup,
    TableRow,
    TableCell,
    TableColumn,
    TableColumnGroup,
    Flex,
    InlineFlex,
    Grid,
    InlineGrid,
    FlowRoot,
    Contents,
    // visibility
    Visible,
    Hidden,
    Collapse,
    // text-transform
    Uppercase,
    Lowercase,
    Capitalize,
    // float (none is shared)
    Left,
    Right,
    // position
    Static,
    Relative,
    Absolute,
    Fixed,
    Sticky,
    // white-space
    Normal,
    Nowrap,
    Pre,
    PreWrap,
    PreLine,
    BreakSpaces,
    // content (none and normal are None)
    NothingShown, // only empty or blank strings
    Shown,        // text, an image, a counter, a quote
};

// The declarations of one block for our properties, later ones within the
// block replacing earlier ones unless those were !important.
struct Declarations {
    std::array<Keyword, PropertyCount> value{};
    std::uint8_t present = 0;   // bit per property
    std::uint8_t important = 0; // bit per property

    static constexpr std::uint8_t bit(Property p) {
        return static_cast<std::uint8_t>(1u << static_cast<unsigned>(p));
    }
    bool has(Property p) const { return present & bit(p); }
    bool isImportant(Property p) const { return important & bit(p); }
    Keyword get(Property p) const { return value[static_cast<std::size_t>(p)]; }
    void set(Property p, Keyword k, bool isImportantNow);
    void remove(Property p);
    bool empty() const { return present == 0; }
};

// Parses the inside of a declaration block of a sheet or, with `inSheet`
// false, a style attribute (where no rules nest). Unknown properties, values
// we cannot resolve (var()) and malformed declarations are skipped, as CSS
// skips them.
Declarations parseDeclarations(std::string_view block, bool inSheet = true);

} // namespace vt::css
