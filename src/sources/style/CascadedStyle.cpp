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

std::optional<Display> displayFor(css::Keyword keyword, bool& flexOrGrid) {
    using css::Keyword;
    switch (keyword) {
    case Keyword::None:
        return Display::None;
    case Keyword::Inline:
    case Keyword::Initial:
        return Display::Inline;
    case Keyword::Block:
    case Keyword::FlowRoot:
        return Display::Block;
    case Keyword::ListItem:
        return Display::ListItem;
    case Keyword::InlineBlock:
    case Keyword::InlineTable:
        return Display::InlineBlock;
    case Keyword::Table:
        return Display::Table;
    case Keyword::TableCaption:
        return Display::TableCaption;
    case Keyword::TableRowGroup:
    case Keyword::TableHeaderGroup:
        return Display::TableRowGroup;
    case Keyword::TableFooterGroup:
        return Display::TableFooterGroup;
    case Keyword::TableRow:
        return Display::TableRow;
    case Keyword::TableCell:
        return Display::TableCell;
    case Keyword::TableColumn:
    case Keyword::TableColumnGroup:
        return Display::TableColumn;
    case Keyword::Flex:
    case Keyword::Grid:
        flexOrGrid = true;
        return Display::Block;
    case Keyword::InlineFlex:
    case Keyword::InlineGrid:
        flexOrGrid = true;
        return Display::InlineBlock;
    case Keyword::Contents:
        return Display::Contents;
    default:
        return std::nullopt; // inherit: the default stays
    }
}

void apply(const css::Declarations& values, bool object, ElementStyle& style) {
    using css::Keyword;
    using css::Property;
    if (values.has(Property::Display)) {
        bool flexOrGrid = false;
        if (const auto display = displayFor(values.get(Property::Display), flexOrGrid)) {
            if (object && *display != Display::None) {
                // An object shows no text whatever its display; it may be a block.
                style.display = isBlockLevel(*display) ? Display::BlockObject : Display::Replaced;
            } else {
                style.display = *display;
                style.blockifiesChildren = flexOrGrid;
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
        switch (values.get(Property::WhiteSpace)) {
        case Keyword::Inherit:
            style.whiteSpace.reset();
            break;
        case Keyword::Pre:
        case Keyword::PreWrap:
        case Keyword::BreakSpaces:
            style.whiteSpace = WhiteSpace::Preserve;
            break;
        case Keyword::PreLine:
            style.whiteSpace = WhiteSpace::PreserveBreaks;
            break;
        default:
            style.whiteSpace = WhiteSpace::Collapse;
            break;
        }
    }
    if (values.has(Property::TextTransform)) {
        switch (values.get(Property::TextTransform)) {
        case Keyword::Inherit:
            break;
        case Keyword::Uppercase:
            style.textTransform = TextTransform::Uppercase;
            break;
        case Keyword::Lowercase:
            style.textTransform = TextTransform::Lowercase;
            break;
        case Keyword::Capitalize:
            style.textTransform = TextTransform::Capitalize;
            break;
        default:
            style.textTransform = TextTransform::None;
            break;
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
