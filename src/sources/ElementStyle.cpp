#include "sources/ElementStyle.h"

#include "sources/css/CascadedStyle.h"
#include "sources/css/CssDeclarations.h"
#include "sources/css/PageStyles.h"

#include <gumbo.h>
#include <string>

namespace vt {

namespace {

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool isCssSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isCssSpace(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isCssSpace(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

bool hasAttribute(const GumboElement& element, const char* name) {
    return gumbo_get_attribute(&element.attributes, name) != nullptr;
}

bool attributeIs(const GumboElement& element, const char* name, std::string_view value) {
    const GumboAttribute* attribute = gumbo_get_attribute(&element.attributes, name);
    if (!attribute) {
        return false;
    }
    const std::string_view actual = trimmed(attribute->value);
    if (actual.size() != value.size()) {
        return false;
    }
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (lower(actual[i]) != value[i]) {
            return false;
        }
    }
    return true;
}

// Elements never rendered whatever the page's styles say: their contents are
// never part of the rendered text.
bool isNeverRendered(GumboTag tag) {
    switch (tag) {
    case GUMBO_TAG_HEAD:
    case GUMBO_TAG_TITLE:
    case GUMBO_TAG_BASE:
    case GUMBO_TAG_BASEFONT:
    case GUMBO_TAG_LINK:
    case GUMBO_TAG_META:
    case GUMBO_TAG_STYLE:
    case GUMBO_TAG_SCRIPT:
    case GUMBO_TAG_TEMPLATE:
    case GUMBO_TAG_PARAM:
    case GUMBO_TAG_SOURCE:
    case GUMBO_TAG_TRACK:
    case GUMBO_TAG_AREA:
    case GUMBO_TAG_DATALIST:
    case GUMBO_TAG_NOEMBED:
    case GUMBO_TAG_NOFRAMES:
    case GUMBO_TAG_RP:
        return true;
    default:
        return false;
    }
}

// Elements whose children never give text: they show something else.
bool isObject(const GumboElement& element) {
    switch (element.tag) {
    case GUMBO_TAG_IMG:
    case GUMBO_TAG_IMAGE:
    case GUMBO_TAG_INPUT:
    case GUMBO_TAG_TEXTAREA:
    case GUMBO_TAG_IFRAME:
    case GUMBO_TAG_EMBED:
    case GUMBO_TAG_OBJECT:
    case GUMBO_TAG_APPLET:
    case GUMBO_TAG_AUDIO:
    case GUMBO_TAG_VIDEO:
    case GUMBO_TAG_CANVAS:
    case GUMBO_TAG_METER:
    case GUMBO_TAG_PROGRESS:
    case GUMBO_TAG_KEYGEN:
    case GUMBO_TAG_FRAME:
        return true;
    default:
        return element.tag_namespace == GUMBO_NAMESPACE_SVG;
    }
}

Display htmlDisplay(const GumboElement& element, std::string_view name) {
    if (isNeverRendered(element.tag)) {
        return Display::None;
    }
    switch (element.tag) {
    case GUMBO_TAG_INPUT:
        return attributeIs(element, "type", "hidden") ? Display::None : Display::Replaced;
    case GUMBO_TAG_AUDIO:
        return hasAttribute(element, "controls") ? Display::Replaced : Display::None;
    case GUMBO_TAG_IMG:
    case GUMBO_TAG_IMAGE:
    case GUMBO_TAG_IFRAME:
    case GUMBO_TAG_EMBED:
    case GUMBO_TAG_OBJECT:
    case GUMBO_TAG_APPLET:
    case GUMBO_TAG_VIDEO:
    case GUMBO_TAG_CANVAS:
    case GUMBO_TAG_METER:
    case GUMBO_TAG_PROGRESS:
    case GUMBO_TAG_KEYGEN:
    case GUMBO_TAG_FRAME:
        return Display::Replaced;
    case GUMBO_TAG_TEXTAREA: // its text is a control's value, not the page's
        return Display::Replaced;
    case GUMBO_TAG_BUTTON:
    case GUMBO_TAG_MARQUEE:
        return Display::InlineBlock;
    case GUMBO_TAG_HTML:
    case GUMBO_TAG_BODY:
    case GUMBO_TAG_ADDRESS:
    case GUMBO_TAG_BLOCKQUOTE:
    case GUMBO_TAG_CENTER:
    case GUMBO_TAG_DIV:
    case GUMBO_TAG_FIGURE:
    case GUMBO_TAG_FIGCAPTION:
    case GUMBO_TAG_FOOTER:
    case GUMBO_TAG_FORM:
    case GUMBO_TAG_HEADER:
    case GUMBO_TAG_HR:
    case GUMBO_TAG_LEGEND:
    case GUMBO_TAG_LISTING:
    case GUMBO_TAG_MAIN:
    case GUMBO_TAG_P:
    case GUMBO_TAG_PLAINTEXT:
    case GUMBO_TAG_PRE:
    case GUMBO_TAG_XMP:
    case GUMBO_TAG_ARTICLE:
    case GUMBO_TAG_ASIDE:
    case GUMBO_TAG_H1:
    case GUMBO_TAG_H2:
    case GUMBO_TAG_H3:
    case GUMBO_TAG_H4:
    case GUMBO_TAG_H5:
    case GUMBO_TAG_H6:
    case GUMBO_TAG_HGROUP:
    case GUMBO_TAG_NAV:
    case GUMBO_TAG_SECTION:
    case GUMBO_TAG_DIR:
    case GUMBO_TAG_DD:
    case GUMBO_TAG_DL:
    case GUMBO_TAG_DT:
    case GUMBO_TAG_MENU:
    case GUMBO_TAG_OL:
    case GUMBO_TAG_UL:
    case GUMBO_TAG_FIELDSET:
    case GUMBO_TAG_DETAILS:
    case GUMBO_TAG_OPTGROUP:
    case GUMBO_TAG_OPTION:
    case GUMBO_TAG_FRAMESET:
        return Display::Block;
    case GUMBO_TAG_LI:
    case GUMBO_TAG_SUMMARY:
        return Display::ListItem;
    case GUMBO_TAG_TABLE:
        return Display::Table;
    case GUMBO_TAG_CAPTION:
        return Display::TableCaption;
    case GUMBO_TAG_THEAD:
    case GUMBO_TAG_TBODY:
        return Display::TableRowGroup;
    case GUMBO_TAG_TFOOT:
        return Display::TableFooterGroup;
    case GUMBO_TAG_TR:
        return Display::TableRow;
    case GUMBO_TAG_TD:
    case GUMBO_TAG_TH:
        return Display::TableCell;
    case GUMBO_TAG_COL:
    case GUMBO_TAG_COLGROUP:
        return Display::TableColumn;
    case GUMBO_TAG_UNKNOWN:
        if (name == "dialog") {
            return hasAttribute(element, "open") ? Display::Block : Display::None;
        }
        if (name == "search") {
            return Display::Block;
        }
        return Display::Inline;
    default:
        return Display::Inline;
    }
}

} // namespace

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
        c = lower(c);
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
        style.display = element.tag == GUMBO_TAG_ANNOTATION_XML ||
                                elementName(node) == std::string_view("annotation")
                            ? Display::None
                            : Display::Inline;
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
        (isNeverRendered(element.tag) ||
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
        own = css::parseDeclarations(attribute->value);
    }
    const bool isRoot = element.tag_namespace == GUMBO_NAMESPACE_HTML &&
                        (element.tag == GUMBO_TAG_HTML || element.tag == GUMBO_TAG_BODY);
    applyDeclarations(sheet ? *sheet : css::Declarations(), own, isRoot, isObject(element), style);
    return style;
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
