#include "sources/article/ArticleScan.h"

#include "sources/style/ElementStyle.h"

#include <gumbo.h>
#include <string_view>

namespace vt {

namespace {

// A paragraph shorter than this is a label, a menu entry or a date, not prose,
// unless it has a sentence or some commas.
constexpr int ProseLength = 80;
constexpr int ShortProseLength = 40;
// What a block that is neither prose nor text costs: menus and lists of labels
// add up to noise.
constexpr float BlockCost = 10.0f;

struct OpenElement {
    const GumboNode* node;
    unsigned nextChild;
    int index;
    int block; // the nearest block, which owns the text
    bool inLink;
    bool inOffPageLink;
};

// Links to another page, as opposed to a place on this one ("#history").
bool linksOffPage(const GumboNode* a) {
    const GumboAttribute* href = gumbo_get_attribute(&a->v.element.attributes, "href");
    if (!href) {
        return false;
    }
    std::string_view target(href->value);
    while (!target.empty() && (target.front() == ' ' || target.front() == '\n')) {
        target.remove_prefix(1);
    }
    return !target.starts_with('#');
}

bool attributeIs(const GumboNode* element, const char* name, std::string_view value) {
    const GumboAttribute* attribute = gumbo_get_attribute(&element->v.element.attributes, name);
    if (!attribute) {
        return false;
    }
    const std::string_view actual(attribute->value);
    if (actual.size() != value.size()) {
        return false;
    }
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = actual[i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c) != value[i]) {
            return false;
        }
    }
    return true;
}

// Elements whose text never shows, or that give none.
bool isLeftOut(const GumboNode* node) {
    if (node->type != GUMBO_NODE_ELEMENT) {
        return true; // templates
    }
    const GumboElement& element = node->v.element;
    if (element.tag_namespace != GUMBO_NAMESPACE_HTML) {
        return true; // svg and math: icons and formulas
    }
    switch (element.tag) {
    case GUMBO_TAG_HEAD:
    case GUMBO_TAG_SCRIPT:
    case GUMBO_TAG_STYLE:
    case GUMBO_TAG_TITLE:
    case GUMBO_TAG_NOSCRIPT:
    case GUMBO_TAG_IFRAME:
    case GUMBO_TAG_VIDEO:
    case GUMBO_TAG_AUDIO:
    case GUMBO_TAG_CANVAS:
    case GUMBO_TAG_OBJECT:
        return true;
    case GUMBO_TAG_INPUT:
        return attributeIs(node, "type", "hidden");
    default:
        // The parser gives attribute names in lower case.
        for (unsigned i = 0; i < element.attributes.length; ++i) {
            const auto* attribute = static_cast<const GumboAttribute*>(element.attributes.data[i]);
            if (std::string_view(attribute->name) == "hidden") {
                return true;
            }
        }
        return false;
    }
}

bool isFormControl(GumboTag tag) {
    return tag == GUMBO_TAG_INPUT || tag == GUMBO_TAG_SELECT || tag == GUMBO_TAG_TEXTAREA ||
           tag == GUMBO_TAG_BUTTON;
}

// Controls whose contents are not text to weigh (the options of a list, the
// value of a text area).
bool hasNoTextToWeigh(GumboTag tag) {
    return tag == GUMBO_TAG_SELECT || tag == GUMBO_TAG_TEXTAREA;
}

struct TextCounts {
    int chars = 0;
    int commas = 0;
    int sentenceEnds = 0;
};

// Counts a text node's text (UTF-8, ended by a zero byte) in one pass.
TextCounts countText(const char* utf8) {
    TextCounts counts;
    for (const char* p = utf8; *p != '\0'; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || (c & 0xC0) == 0x80) {
            continue; // white space, or the rest of a character already counted
        }
        ++counts.chars;
        if (c == ',') {
            ++counts.commas;
        } else if (c == '.' || c == '!' || c == '?') {
            const char next = p[1] == '\0' ? ' ' : p[1];
            if (next == ' ' || next == '\n' || next == '"' || next == ')') {
                ++counts.sentenceEnds;
            }
        }
    }
    return counts;
}

// The weight of a block's own text: prose counts by its unlinked characters;
// a link list or a short label is a little noise.
float ownTextValue(const ArticleNode& node, int& proseChars) {
    const int chars = node.ownChars;
    if (chars == 0) {
        return 0.0f;
    }
    const int unlinked = chars - node.ownLinkChars;
    if (node.ownLinkChars * 2 > chars) {
        return -0.25f * static_cast<float>(node.ownLinkChars) - BlockCost;
    }
    const bool prose = unlinked >= ProseLength ||
                       (unlinked >= ShortProseLength && node.ownSentenceEnds > 0) ||
                       node.ownCommas >= 2;
    if (!prose) {
        return -BlockCost;
    }
    proseChars = unlinked;
    const float linkShare = static_cast<float>(node.ownLinkChars) / static_cast<float>(chars);
    const int commas = node.ownCommas < 10 ? node.ownCommas : 10;
    return static_cast<float>(unlinked) * (1.0f - linkShare) + 5.0f * static_cast<float>(commas);
}

void close(std::vector<ArticleNode>& nodes, int index) {
    ArticleNode& node = nodes[static_cast<std::size_t>(index)];
    node.end = static_cast<int>(nodes.size());
    if (isBlockContainer(node.element)) {
        int prose = 0;
        node.score += ownTextValue(node, prose);
        node.proseChars += prose;
    }
    if (isHeading(node.element) && node.chars > 0) {
        ++node.headings;
        if (node.offPageLinkChars * 5 >= node.chars * 3) {
            ++node.linkedHeadings;
        }
    }
    if (node.parent < 0) {
        return;
    }
    ArticleNode& parent = nodes[static_cast<std::size_t>(node.parent)];
    parent.chars += node.chars;
    parent.linkChars += node.linkChars;
    parent.offPageLinkChars += node.offPageLinkChars;
    parent.headings += node.headings;
    parent.linkedHeadings += node.linkedHeadings;
    parent.formControls += node.formControls;
    if (node.hint == ArticleHint::Negative) {
        // Whatever noise holds counts against the element around it.
        parent.score -= 0.5f * static_cast<float>(node.chars) + 2.0f * BlockCost;
    } else {
        parent.score += node.score;
        parent.proseChars += node.proseChars;
    }
}

} // namespace

bool isHeading(const GumboNode* element) {
    const GumboTag tag = element->v.element.tag;
    return tag >= GUMBO_TAG_H1 && tag <= GUMBO_TAG_H6;
}

bool isBlockContainer(const GumboNode* element) {
    switch (defaultDisplay(element)) {
    case Display::Block:
    case Display::ListItem:
    case Display::Table:
    case Display::TableCaption:
    case Display::TableCell:
        return true;
    default:
        return false;
    }
}

std::vector<ArticleNode> scanArticleNodes(const GumboNode* root) {
    std::vector<ArticleNode> nodes;
    std::vector<OpenElement> open;
    nodes.reserve(4096);
    ArticleHinter hinter;
    int textSoFar = 0;
    nodes.push_back(ArticleNode{.element = root, .hint = hinter.hintOf(root)});
    open.push_back({root, 0, 0, 0, false, false});
    while (!open.empty()) {
        OpenElement& top = open.back();
        const GumboVector& children = top.node->v.element.children;
        if (top.nextChild >= children.length) {
            close(nodes, top.index);
            open.pop_back();
            continue;
        }
        const auto* child = static_cast<const GumboNode*>(children.data[top.nextChild++]);
        if (child->type == GUMBO_NODE_TEXT || child->type == GUMBO_NODE_CDATA) {
            const TextCounts counts = countText(child->v.text.text);
            ArticleNode& parent = nodes[static_cast<std::size_t>(top.index)];
            ArticleNode& block = nodes[static_cast<std::size_t>(top.block)];
            parent.chars += counts.chars;
            block.ownChars += counts.chars;
            block.ownCommas += counts.commas;
            block.ownSentenceEnds += counts.sentenceEnds;
            if (top.inLink) {
                parent.linkChars += counts.chars;
                block.ownLinkChars += counts.chars;
            }
            if (top.inOffPageLink) {
                parent.offPageLinkChars += counts.chars;
            }
            textSoFar += counts.chars;
            continue;
        }
        if (child->type != GUMBO_NODE_ELEMENT && child->type != GUMBO_NODE_TEMPLATE) {
            continue;
        }
        if (isLeftOut(child)) {
            continue;
        }
        const OpenElement parent = top; // top goes stale when the stacks grow
        const int index = static_cast<int>(nodes.size());
        const GumboTag tag = child->v.element.tag;
        nodes.push_back(ArticleNode{.element = child,
                                    .parent = parent.index,
                                    .textBefore = textSoFar,
                                    .formControls = isFormControl(tag) ? 1 : 0,
                                    .hint = hinter.hintOf(child)});
        if (hasNoTextToWeigh(tag)) {
            close(nodes, index);
            continue;
        }
        const bool link = tag == GUMBO_TAG_A &&
                          gumbo_get_attribute(&child->v.element.attributes, "href") != nullptr;
        open.push_back({child, 0, index, isBlockContainer(child) ? index : parent.block,
                        parent.inLink || link,
                        parent.inOffPageLink || (link && linksOffPage(child))});
    }
    return nodes;
}

} // namespace vt
