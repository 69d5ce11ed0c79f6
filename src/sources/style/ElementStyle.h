#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

struct GumboInternalNode;

namespace vt {

// The few CSS properties the rendered text depends on, as the browsers' default
// style sheet, the page's style sheets and the element's own style attribute
// give them.
enum class Display {
    None,
    Inline,
    InlineBlock, // its own line box inside the line: button, textarea
    Replaced,    // an inline object without text of its own: img, input, video
    BlockObject, // the same, made a block (floated, or display:block)
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

enum class TextTransform { None, Uppercase, Lowercase, Capitalize };

struct ElementStyle {
    Display display = Display::Inline;
    std::optional<bool> visible;                // set when the element sets visibility
    std::optional<WhiteSpace> whiteSpace;       // set when the element sets white-space
    std::optional<TextTransform> textTransform; // set when the element sets text-transform
    bool outOfFlow = false;          // floated or absolutely positioned: a block in any case
    bool blockifiesChildren = false; // a flex or grid container: its children are blocks
    bool mathChildrenOnly = false;   // a formula's layout: text and HTML in it make no box
};

// The element's tag name in lower case, also for tags the parser does not know
// (read from the original text): "dialog", "search", "picture".
std::string_view elementName(const GumboInternalNode* element);

class PageStyles;

// An element's style; display None for everything not rendered. Without page
// styles, only the defaults and the style attribute count.
ElementStyle styleOf(const GumboInternalNode* element, const PageStyles* pageStyles = nullptr);

// The casing the page's style sheets give an element's first line and first
// letter; unset where they give none.
struct FirstLineStyle {
    std::optional<TextTransform> line;
    std::optional<TextTransform> letter;
    bool any() const { return line || letter; }
};
FirstLineStyle firstLineStyleOf(const GumboInternalNode* element, const PageStyles& pageStyles);

// How an element's ::before or ::after content stands in its text. Its text
// is not part of the rendered text, but shown inline it keeps the white
// space on both sides; as a block it ends the line.
enum class GeneratedBox : std::uint8_t { None, Inline, Block };
struct GeneratedContent {
    GeneratedBox before = GeneratedBox::None;
    GeneratedBox after = GeneratedBox::None;
};
GeneratedContent generatedContentOf(const GumboInternalNode* element, const PageStyles& pageStyles);

bool isBlockLevel(Display display);

// The display a browser's own style sheet gives an HTML element by its tag
// (Inline for the tags it says nothing of), whatever the page's styles say.
Display defaultDisplay(const GumboInternalNode* element);

// The display an element gets when it is floated, absolutely positioned or
// the child of a flex or grid container.
Display blockified(Display display);

} // namespace vt
