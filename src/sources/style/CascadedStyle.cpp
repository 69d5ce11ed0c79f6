#include "sources/style/CascadedStyle.h"

#include <optional>

namespace vt {

namespace {

// The sheet's and the style attribute's declarations as one: the attribute
// wins at equal importance. Rules hiding html or body themselves are left
// out: such pages show themselves with scripts, which are not run.
css::Declarations cascaded(const css::Declarations& sheet, const css::Declarations& own,
                           bool isRoot) {
    using css::Keyword;
    using css::Property;
    css::Declarations result;
    for (std::size_t p = 0; p < css::PropertyCount; ++p) {
        const auto property = static_cast<Property>(p);
        const bool fromOwn =
            own.has(property) && (own.isImportant(property) || !sheet.isImportant(property));
        const css::Declarations& source = fromOwn ? own : sheet;
        if (!source.has(property)) {
            continue;
        }
        const Keyword value = source.get(property);
        if (isRoot && ((property == Property::Display && value == Keyword::None) ||
                       (property == Property::Visibility &&
                        (value == Keyword::Hidden || value == Keyword::Collapse)))) {
            continue;
        }
        result.set(property, value, false);
    }
    return result;
}

// What a display keyword makes of the box; flex and grid containers also
// make blocks of their children.
struct DisplayKeyword {
    css::Keyword keyword;
    Display display;
    bool flexOrGrid = false;
};

constexpr DisplayKeyword DisplayKeywords[] = {
    {css::Keyword::None, Display::None},
    {css::Keyword::Inline, Display::Inline},
    {css::Keyword::Initial, Display::Inline},
    {css::Keyword::Block, Display::Block},
    {css::Keyword::FlowRoot, Display::Block},
    {css::Keyword::ListItem, Display::ListItem},
    {css::Keyword::InlineBlock, Display::InlineBlock},
    {css::Keyword::InlineTable, Display::InlineBlock},
    {css::Keyword::Table, Display::Table},
    {css::Keyword::TableCaption, Display::TableCaption},
    {css::Keyword::TableRowGroup, Display::TableRowGroup},
    {css::Keyword::TableHeaderGroup, Display::TableRowGroup},
    {css::Keyword::TableFooterGroup, Display::TableFooterGroup},
    {css::Keyword::TableRow, Display::TableRow},
    {css::Keyword::TableCell, Display::TableCell},
    {css::Keyword::TableColumn, Display::TableColumn},
    {css::Keyword::TableColumnGroup, Display::TableColumn},
    {css::Keyword::Flex, Display::Block, true},
    {css::Keyword::Grid, Display::Block, true},
    {css::Keyword::InlineFlex, Display::InlineBlock, true},
    {css::Keyword::InlineGrid, Display::InlineBlock, true},
    {css::Keyword::Contents, Display::Contents},
};

// The keyword's display, or null for inherit: the default stays.
const DisplayKeyword* displayFor(css::Keyword keyword) {
    for (const DisplayKeyword& entry : DisplayKeywords) {
        if (entry.keyword == keyword) {
            return &entry;
        }
    }
    return nullptr;
}

void apply(const css::Declarations& values, bool object, ElementStyle& style) {
    using css::Keyword;
    using css::Property;
    if (values.has(Property::Display)) {
        if (const DisplayKeyword* display = displayFor(values.get(Property::Display))) {
            if (object && display->display != Display::None) {
                // An object shows no text whatever its display; it may be a block.
                style.display =
                    isBlockLevel(display->display) ? Display::BlockObject : Display::Replaced;
            } else {
                style.display = display->display;
                style.blockifiesChildren = display->flexOrGrid;
            }
        }
    }
    if (values.has(Property::Visibility)) {
        const Keyword v = values.get(Property::Visibility);
        if (v != Keyword::Inherit) {
            style.visible = v == Keyword::Visible || v == Keyword::Initial;
        }
    }
    if (values.has(Property::WhiteSpace)) {
        const Keyword w = values.get(Property::WhiteSpace);
        if (w == Keyword::Inherit) {
            style.whiteSpace.reset();
        } else if (w == Keyword::PreLine) {
            style.whiteSpace = WhiteSpace::PreserveBreaks;
        } else {
            const bool kept =
                w == Keyword::Pre || w == Keyword::PreWrap || w == Keyword::BreakSpaces;
            style.whiteSpace = kept ? WhiteSpace::Preserve : WhiteSpace::Collapse;
        }
    }
    if (values.has(Property::TextTransform)) {
        const Keyword t = values.get(Property::TextTransform);
        if (t != Keyword::Inherit) {
            style.textTransform = t == Keyword::Uppercase    ? TextTransform::Uppercase
                                  : t == Keyword::Lowercase  ? TextTransform::Lowercase
                                  : t == Keyword::Capitalize ? TextTransform::Capitalize
                                                             : TextTransform::None;
        }
    }
    const bool floated =
        values.has(Property::Float) && (values.get(Property::Float) == Keyword::Left ||
                                        values.get(Property::Float) == Keyword::Right);
    const bool positioned =
        values.has(Property::Position) && (values.get(Property::Position) == Keyword::Absolute ||
                                           values.get(Property::Position) == Keyword::Fixed);
    style.outOfFlow = floated || positioned;
}

} // namespace

void applyDeclarations(const css::Declarations& sheet, const css::Declarations& own, bool isRoot,
                       bool object, ElementStyle& style) {
    apply(cascaded(sheet, own, isRoot), object, style);
}

} // namespace vt
