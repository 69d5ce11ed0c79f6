#include "sources/style/ElementStyle.h"

#include "core/AsciiText.h"
#include "sources/html/TagSet.h"
#include "sources/style/CascadedStyle.h"
#include "sources/style/CssDeclarations.h"
#include "sources/style/PageStyles.h"

#include <array>
#include <gumbo.h>
#include <initializer_list>
#include <string>

namespace vt {

namespace {

bool hasAttribute(const GumboElement& element, const char* name) {
    return gumbo_get_attribute(&element.attributes, name) != nullptr;
}

bool attributeIs(const GumboElement& element, const char* name, std::string_view value) {
    const GumboAttribute* attribute = gumbo_get_attribute(&element.attributes, name);
    if (!attribute) {
        return false;
    }
    return ascii::equalsNoCase(ascii::trimmed(attribute->value), value);
}

// Elements never rendered whatever the page's styles say: their contents are
// never part of the rendered text.
constexpr TagSet NeverRendered{
    GUMBO_TAG_HEAD,     GUMBO_TAG_TITLE, GUMBO_TAG_BASE,   GUMBO_TAG_BASEFONT, GUMBO_TAG_LINK,
    GUMBO_TAG_META,     GUMBO_TAG_STYLE, GUMBO_TAG_SCRIPT, GUMBO_TAG_TEMPLATE, GUMBO_TAG_PARAM,
    GUMBO_TAG_SOURCE,   GUMBO_TAG_TRACK, GUMBO_TAG_AREA,   GUMBO_TAG_DATALIST, GUMBO_TAG_NOEMBED,
    GUMBO_TAG_NOFRAMES, GUMBO_TAG_RP};

// Of those, the ones a page's own display shows, as it shows them in a
// browser: a script or style sheet made a block shows its source.
constexpr TagSet ShownByAuthorDisplay{GUMBO_TAG_SCRIPT, GUMBO_TAG_STYLE, GUMBO_TAG_RP,
                                      GUMBO_TAG_HEAD, GUMBO_TAG_TITLE};

// Elements whose children never give text: they show something else.
constexpr TagSet Objects{GUMBO_TAG_IMG,      GUMBO_TAG_IMAGE,  GUMBO_TAG_INPUT,  GUMBO_TAG_TEXTAREA,
                         GUMBO_TAG_IFRAME,   GUMBO_TAG_EMBED,  GUMBO_TAG_OBJECT, GUMBO_TAG_APPLET,
                         GUMBO_TAG_AUDIO,    GUMBO_TAG_VIDEO,  GUMBO_TAG_CANVAS, GUMBO_TAG_METER,
                         GUMBO_TAG_PROGRESS, GUMBO_TAG_KEYGEN, GUMBO_TAG_FRAME};

// What a browser's own style sheet gives each HTML element whose display it
// sets (every other element is inline), as a table indexed by tag.
constexpr std::array<Display, GUMBO_TAG_LAST + 1> defaultDisplays() {
    std::array<Display, GUMBO_TAG_LAST + 1> displays{};
    displays.fill(Display::Inline);
    const auto give = [&displays](Display display, std::initializer_list<GumboTag> tags) {
        for (const GumboTag tag : tags) {
            displays[tag] = display;
        }
    };
    give(Display::Block,
         {GUMBO_TAG_HTML,      GUMBO_TAG_BODY,     GUMBO_TAG_ADDRESS, GUMBO_TAG_BLOCKQUOTE,
          GUMBO_TAG_CENTER,    GUMBO_TAG_DIV,      GUMBO_TAG_FIGURE,  GUMBO_TAG_FIGCAPTION,
          GUMBO_TAG_FOOTER,    GUMBO_TAG_FORM,     GUMBO_TAG_HEADER,  GUMBO_TAG_HR,
          GUMBO_TAG_LEGEND,    GUMBO_TAG_LISTING,  GUMBO_TAG_MAIN,    GUMBO_TAG_P,
          GUMBO_TAG_PLAINTEXT, GUMBO_TAG_PRE,      GUMBO_TAG_XMP,     GUMBO_TAG_ARTICLE,
          GUMBO_TAG_ASIDE,     GUMBO_TAG_H1,       GUMBO_TAG_H2,      GUMBO_TAG_H3,
          GUMBO_TAG_H4,        GUMBO_TAG_H5,       GUMBO_TAG_H6,      GUMBO_TAG_HGROUP,
          GUMBO_TAG_NAV,       GUMBO_TAG_SECTION,  GUMBO_TAG_DIR,     GUMBO_TAG_DD,
          GUMBO_TAG_DL,        GUMBO_TAG_DT,       GUMBO_TAG_MENU,    GUMBO_TAG_OL,
          GUMBO_TAG_UL,        GUMBO_TAG_FIELDSET, GUMBO_TAG_DETAILS, GUMBO_TAG_OPTGROUP,
          GUMBO_TAG_OPTION,    GUMBO_TAG_FRAMESET});
    give(Display::InlineBlock, {GUMBO_TAG_BUTTON, GUMBO_TAG_MARQUEE});
    give(Display::ListItem, {GUMBO_TAG_LI, GUMBO_TAG_SUMMARY});
    give(Display::Table, {GUMBO_TAG_TABLE});
    give(Display::TableCaption, {GUMBO_TAG_CAPTION});
    give(Display::TableRowGroup, {GUMBO_TAG_THEAD, GUMBO_TAG_TBODY});
    give(Display::TableFooterGroup, {GUMBO_TAG_TFOOT});
    give(Display::TableRow, {GUMBO_TAG_TR});
    give(Display::TableCell, {GUMBO_TAG_TD, GUMBO_TAG_TH});
    give(Display::TableColumn, {GUMBO_TAG_COL, GUMBO_TAG_COLGROUP});
    return displays;
}

constexpr auto DefaultDisplays = defaultDisplays();

bool isObject(const GumboElement& element) {
    return Objects.contains(element.tag) || element.tag_namespace == GUMBO_NAMESPACE_SVG;
}

Display htmlDisplay(const GumboElement& element, std::string_view name) {
    const GumboTag tag = element.tag;
    if (NeverRendered.contains(tag)) {
        return Display::None;
    }
    if (tag == GUMBO_TAG_INPUT) {
        return attributeIs(element, "type", "hidden") ? Display::None : Display::Replaced;
    }
    if (tag == GUMBO_TAG_AUDIO) {
        return hasAttribute(element, "controls") ? Display::Replaced : Display::None;
    }
    // A text area's text is a control's value, not the page's.
    if (Objects.contains(tag)) {
        return Display::Replaced;
    }
    if (tag == GUMBO_TAG_UNKNOWN) {
        if (name == "dialog") {
            return hasAttribute(element, "open") ? Display::Block : Display::None;
        }
        return name == "search" ? Display::Block : Display::Inline;
    }
    return DefaultDisplays[tag];
}

bool isMath(const GumboNode* node, std::string_view name) {
    return node->type == GUMBO_NODE_ELEMENT &&
           node->v.element.tag_namespace == GUMBO_NAMESPACE_MATHML && elementName(node) == name;
}

// Only the first child of semantics and maction is shown: the rest are
// annotations and other states.
bool isLaterAlternative(const GumboNode* node) {
    const GumboNode* parent = node->parent;
    if (!parent || !(isMath(parent, "semantics") || isMath(parent, "maction"))) {
        return false;
    }
    const GumboVector& siblings = parent->v.element.children;
    for (unsigned i = 0; i < siblings.length; ++i) {
        const auto* sibling = static_cast<const GumboNode*>(siblings.data[i]);
        if (sibling->type == GUMBO_NODE_ELEMENT) {
            return sibling != node;
        }
    }
    return false;
}

// A formula lays out each of its parts as a block: the token elements (mi,
// mn, mo, ms, mtext) hold the text, each on a line of its own; inline math
// is an atomic box in its line, display math a block.
void mathStyle(const GumboNode* node, ElementStyle& style) {
    const GumboElement& element = node->v.element;
    const bool laterAlternative = isLaterAlternative(node);
    const std::string_view name = elementName(node); // valid until the next call
    style.blockifiesChildren = true;
    if (element.tag == GUMBO_TAG_ANNOTATION_XML || name == "annotation" || laterAlternative) {
        style.display = Display::None;
    } else if (element.tag == GUMBO_TAG_MATH) {
        style.display =
            attributeIs(element, "display", "block") ? Display::Block : Display::InlineBlock;
    } else if (name == "mtable") {
        style.display = Display::InlineBlock;
    } else if (name == "mtr") {
        style.display = Display::TableRow;
        style.blockifiesChildren = false;
    } else if (name == "mtd") {
        style.display = Display::TableCell;
    } else {
        style.display = Display::Block;
    }
    if (name == "mphantom") {
        style.visible = false;
    }
    switch (element.tag) {
    case GUMBO_TAG_MI:
    case GUMBO_TAG_MN:
    case GUMBO_TAG_MO:
    case GUMBO_TAG_MS:
    case GUMBO_TAG_MTEXT:
        style.blockifiesChildren = false; // their text flows in lines
        break;
    default:
        style.mathChildrenOnly = name != "mtable";
        break;
    }
}

} // namespace

Display defaultDisplay(const GumboNode* element) {
    return DefaultDisplays[element->v.element.tag];
}

std::string_view elementName(const GumboNode* node) {
    const GumboElement& element = node->v.element;
    if (element.tag != GUMBO_TAG_UNKNOWN) {
        return gumbo_normalized_tagname(element.tag);
    }
    GumboStringPiece original = element.original_tag;
    gumbo_tag_from_original_text(&original);
    // Tag names are compared in lower case; keep a small per-thread copy.
    thread_local std::string name;
    name.assign(original.data ? original.data : "", original.length);
    for (char& c : name) {
        c = ascii::lower(c);
    }
    return name;
}

ElementStyle styleOf(const GumboNode* node, const PageStyles* pageStyles) {
    const GumboElement& element = node->v.element;
    ElementStyle style;
    if (node->type == GUMBO_NODE_TEMPLATE) {
        style.display = Display::None;
        return style;
    }
    switch (element.tag_namespace) {
    case GUMBO_NAMESPACE_SVG:
        // A drawing: its titles and labels are not read.
        style.display = Display::Replaced;
        break;
    case GUMBO_NAMESPACE_MATHML:
        mathStyle(node, style);
        break;
    case GUMBO_NAMESPACE_HTML:
        style.display = htmlDisplay(element, elementName(node));
        switch (element.tag) {
        case GUMBO_TAG_PRE:
        case GUMBO_TAG_LISTING:
        case GUMBO_TAG_XMP:
        case GUMBO_TAG_PLAINTEXT:
            style.whiteSpace = WhiteSpace::Preserve;
            break;
        case GUMBO_TAG_NOBR:
            style.whiteSpace = WhiteSpace::Collapse;
            break;
        default:
            break;
        }
        break;
    }
    if (hasAttribute(element, "hidden")) {
        style.display = Display::None;
    }
    if (element.tag_namespace == GUMBO_NAMESPACE_HTML &&
        ((NeverRendered.contains(element.tag) && !ShownByAuthorDisplay.contains(element.tag)) ||
         (element.tag == GUMBO_TAG_INPUT && style.display == Display::None))) {
        return style; // hidden inputs stay hidden: the default sheet says so !important
    }
    const css::Declarations* sheet = pageStyles ? pageStyles->declaredFor(node) : nullptr;
    const GumboAttribute* attribute = gumbo_get_attribute(&element.attributes, "style");
    if (!sheet && !attribute) {
        return style;
    }
    css::Declarations own;
    if (attribute) {
        own = css::parseDeclarations(attribute->value, false);
    }
    const bool isRoot = element.tag_namespace == GUMBO_NAMESPACE_HTML &&
                        (element.tag == GUMBO_TAG_HTML || element.tag == GUMBO_TAG_BODY);
    applyDeclarations(sheet ? *sheet : css::Declarations(), own, isRoot, isObject(element), style);
    return style;
}

namespace {

std::optional<TextTransform> transformOf(const css::Declarations& declarations) {
    if (!declarations.has(css::Property::TextTransform)) {
        return std::nullopt;
    }
    switch (declarations.get(css::Property::TextTransform)) {
    case css::Keyword::Uppercase:
        return TextTransform::Uppercase;
    case css::Keyword::Lowercase:
        return TextTransform::Lowercase;
    case css::Keyword::Capitalize:
        return TextTransform::Capitalize;
    case css::Keyword::Inherit:
        return std::nullopt;
    default:
        return TextTransform::None;
    }
}

GeneratedBox generatedBox(const css::Declarations& declarations) {
    using css::Keyword;
    const Keyword content = declarations.has(css::Property::Content)
                                ? declarations.get(css::Property::Content)
                                : Keyword::None;
    if (content != Keyword::Shown && content != Keyword::NothingShown) {
        return GeneratedBox::None;
    }
    if (!declarations.has(css::Property::Display)) {
        return content == Keyword::Shown ? GeneratedBox::Inline : GeneratedBox::None;
    }
    switch (declarations.get(css::Property::Display)) {
    case Keyword::None:
        return GeneratedBox::None;
    case Keyword::Inline:
    case Keyword::Initial:
    case Keyword::Inherit:
    case Keyword::InlineBlock:
    case Keyword::InlineTable:
    case Keyword::InlineFlex:
    case Keyword::InlineGrid:
    case Keyword::Contents:
        return content == Keyword::Shown ? GeneratedBox::Inline : GeneratedBox::None;
    default:
        return GeneratedBox::Block;
    }
}

} // namespace

GeneratedContent generatedContentOf(const GumboNode* element, const PageStyles& pageStyles) {
    if (!pageStyles.hasGeneratedContentRules()) {
        return {};
    }
    return {generatedBox(pageStyles.declaredFor(element, css::PseudoElement::Before)),
            generatedBox(pageStyles.declaredFor(element, css::PseudoElement::After))};
}

FirstLineStyle firstLineStyleOf(const GumboNode* element, const PageStyles& pageStyles) {
    if (!pageStyles.hasPseudoElementRules()) {
        return {};
    }
    return {transformOf(pageStyles.declaredFor(element, css::PseudoElement::FirstLine)),
            transformOf(pageStyles.declaredFor(element, css::PseudoElement::FirstLetter))};
}

bool isBlockLevel(Display display) {
    return display == Display::Block || display == Display::ListItem || display == Display::Table ||
           display == Display::TableCaption || display == Display::BlockObject;
}

Display blockified(Display display) {
    switch (display) {
    case Display::Inline:
    case Display::InlineBlock:
    case Display::TableRowGroup:
    case Display::TableFooterGroup:
    case Display::TableRow:
    case Display::TableCell:
    case Display::TableColumn:
        return Display::Block;
    case Display::Replaced:
        return Display::BlockObject;
    default:
        return display;
    }
}

} // namespace vt
