#pragma once

#include <optional>
#include <string_view>

struct GumboInternalNode;

namespace vt {

// The few CSS properties the rendered text depends on, as the browsers' default
// style sheet and an element's own style attribute give them.
enum class Display {
    None,
    Inline,
    InlineBlock, // its own line box inside the line: button, textarea
    Replaced,    // an inline object without text of its own: img, input, video
    Block,
    ListItem,
    Table,
    TableCaption,
    TableRowGroup,
    TableFooterGroup,
    TableRow,
    TableCell,
    TableColumn,
    Contents,
};

enum class WhiteSpace { Collapse, Preserve, PreserveBreaks };

struct ElementStyle {
    Display display = Display::Inline;
    std::optional<bool> visible;          // set when the element sets visibility
    std::optional<WhiteSpace> whiteSpace; // set when the element sets white-space
};

// The element's tag name in lower case, also for tags the parser does not know
// (read from the original text): "dialog", "search", "picture".
std::string_view elementName(const GumboInternalNode* element);

// An element's style; display None for everything not rendered.
ElementStyle styleOf(const GumboInternalNode* element);

bool isBlockLevel(Display display);

} // namespace vt
