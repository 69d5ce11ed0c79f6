#include "sources/RenderedText.h"

#include "sources/ElementStyle.h"
#include "sources/RenderedTextBuilder.h"

#include <gumbo.h>
#include <vector>

namespace vt {

namespace {

// Which children of an element take part in the rendering.
enum class ChildFilter {
    All,
    Options,      // select: only option and optgroup
    OptionsOnly,  // optgroup: only option
    FirstSummary, // a closed details element: only its summary
};

// What an element passes on to its children.
struct Inherited {
    bool visible = true;
    WhiteSpace whiteSpace = WhiteSpace::Collapse;
    const GumboNode* lastRowOfTable = nullptr; // of the nearest table
};

struct Frame {
    const GumboNode* node = nullptr;
    unsigned nextChild = 0;
    Inherited inherited;
    Display display = Display::Inline;
    ChildFilter filter = ChildFilter::All;
    const GumboNode* summary = nullptr; // for FirstSummary
    bool visible = true;                // of the element itself
    bool paragraph = false;
    bool lastCell = false; // no tab after it
    bool lastRow = false;  // no line feed after it
    // Rows and cells among the children, found when a child needs them: an
    // element that is not a table or row still wraps them in one.
    const GumboNode* lastChildRow = nullptr;
    const GumboNode* lastChildCell = nullptr;
    bool lastChildRowKnown = false;
    bool lastChildCellKnown = false;
};

const GumboVector& childrenOf(const GumboNode* node) {
    return node->type == GUMBO_NODE_DOCUMENT ? node->v.document.children : node->v.element.children;
}

bool isElement(const GumboNode* node) {
    return node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE;
}

bool isHtml(const GumboNode* node, GumboTag tag) {
    return node->type == GUMBO_NODE_ELEMENT && node->v.element.tag == tag &&
           node->v.element.tag_namespace == GUMBO_NAMESPACE_HTML;
}

const GumboNode* child(const GumboNode* node, unsigned index) {
    return static_cast<const GumboNode*>(childrenOf(node).data[index]);
}

Display displayOf(const GumboNode* node) {
    return isElement(node) ? styleOf(node).display : Display::None;
}

// The last row of a table, in document order.
const GumboNode* lastRowOf(const GumboNode* table) {
    const GumboVector& children = childrenOf(table);
    for (unsigned i = children.length; i-- > 0;) {
        const GumboNode* part = child(table, i);
        const Display display = displayOf(part);
        if (display == Display::TableRow) {
            return part;
        }
        if (display == Display::TableRowGroup || display == Display::TableFooterGroup) {
            const GumboVector& rows = childrenOf(part);
            for (unsigned k = rows.length; k-- > 0;) {
                if (displayOf(child(part, k)) == Display::TableRow) {
                    return child(part, k);
                }
            }
        }
    }
    return nullptr;
}

// The last child of an element with the given display.
const GumboNode* lastChildWith(const GumboNode* parent, Display display) {
    const GumboVector& children = childrenOf(parent);
    for (unsigned i = children.length; i-- > 0;) {
        if (displayOf(child(parent, i)) == display) {
            return child(parent, i);
        }
    }
    return nullptr;
}

bool isTableOrGroup(Display display) {
    return display == Display::Table || display == Display::TableRowGroup ||
           display == Display::TableFooterGroup;
}

const GumboNode* firstSummaryOf(const GumboNode* details) {
    const GumboVector& children = childrenOf(details);
    for (unsigned i = 0; i < children.length; ++i) {
        if (isHtml(child(details, i), GUMBO_TAG_SUMMARY)) {
            return child(details, i);
        }
    }
    return nullptr;
}

bool passes(const Frame& parent, const GumboNode* node) {
    switch (parent.filter) {
    case ChildFilter::All:
        return true;
    case ChildFilter::Options:
        return isHtml(node, GUMBO_TAG_OPTION) || isHtml(node, GUMBO_TAG_OPTGROUP);
    case ChildFilter::OptionsOnly:
        return isHtml(node, GUMBO_TAG_OPTION);
    case ChildFilter::FirstSummary:
        return node == parent.summary;
    }
    return true;
}

bool isTableStructure(Display display) {
    return display == Display::Table || display == Display::TableRowGroup ||
           display == Display::TableFooterGroup || display == Display::TableRow ||
           display == Display::TableColumn;
}

class Walk {
  public:
    QString run(const GumboNode* root) {
        const ElementStyle style = styleOf(root);
        Frame top;
        top.node = root;
        top.inherited.visible = style.visible.value_or(true);
        top.inherited.whiteSpace = style.whiteSpace.value_or(WhiteSpace::Collapse);
        top.display = Display::Block;
        m_stack.push_back(top);
        while (!m_stack.empty()) {
            Frame& frame = m_stack.back();
            const GumboVector& children = childrenOf(frame.node);
            if (frame.nextChild >= children.length) {
                leave(frame);
                m_stack.pop_back();
                continue;
            }
            const GumboNode* node = child(frame.node, frame.nextChild++);
            if (!passes(frame, node)) {
                continue;
            }
            if (isElement(node)) {
                enter(node); // may grow the stack: frame is not used after this
            } else if (node->type != GUMBO_NODE_COMMENT) {
                text(frame, node);
            }
        }
        return QString::fromUtf8(m_builder.result());
    }

  private:
    void text(const Frame& parent, const GumboNode* node) {
        if (node->type == GUMBO_NODE_WHITESPACE && isTableStructure(parent.display)) {
            return; // white space between table parts makes no box
        }
        m_builder.text(node->v.text.text, parent.inherited.whiteSpace, parent.inherited.visible);
    }

    void enter(const GumboNode* node) {
        Frame& parent = m_stack.back();
        const ElementStyle style = styleOf(node);
        if (style.display == Display::None) {
            return;
        }
        const bool visible = style.visible.value_or(parent.inherited.visible);
        if (isHtml(node, GUMBO_TAG_BR)) {
            m_builder.literal('\n', visible);
            return;
        }
        Frame frame;
        frame.node = node;
        frame.inherited = parent.inherited;
        frame.inherited.visible = visible;
        frame.inherited.whiteSpace = style.whiteSpace.value_or(parent.inherited.whiteSpace);
        frame.display = style.display;
        frame.visible = visible;
        frame.paragraph = isHtml(node, GUMBO_TAG_P);

        switch (style.display) {
        case Display::Replaced:
            m_builder.inlineObject();
            return;
        case Display::TableColumn:
            return;
        case Display::InlineBlock:
            m_builder.beginInlineBlock();
            break;
        case Display::Table:
            frame.inherited.lastRowOfTable = lastRowOf(node);
            break;
        case Display::TableRow:
            frame.lastRow =
                node == (isTableOrGroup(parent.display) ? parent.inherited.lastRowOfTable
                                                        : lastChildRowOf(parent));
            m_builder.lineBoundary();
            break;
        case Display::TableCell:
            frame.lastCell = node == lastChildCellOf(parent);
            m_builder.lineBoundary();
            break;
        default:
            break;
        }
        if (isBlockLevel(style.display)) {
            m_builder.lineBoundary();
        }
        if (visible && frame.paragraph) {
            m_builder.requiredBreak(2);
        }
        if (visible && isBlockLevel(style.display)) {
            m_builder.requiredBreak(1);
        }

        if (isHtml(node, GUMBO_TAG_SELECT)) {
            frame.filter = ChildFilter::Options;
        } else if (isHtml(node, GUMBO_TAG_OPTGROUP)) {
            frame.filter = ChildFilter::OptionsOnly;
        } else if (isHtml(node, GUMBO_TAG_DETAILS) &&
                   !gumbo_get_attribute(&node->v.element.attributes, "open")) {
            frame.filter = ChildFilter::FirstSummary;
            frame.summary = firstSummaryOf(node);
        }
        m_stack.push_back(frame);
    }

    static const GumboNode* lastChildRowOf(Frame& parent) {
        if (!parent.lastChildRowKnown) {
            parent.lastChildRow = lastChildWith(parent.node, Display::TableRow);
            parent.lastChildRowKnown = true;
        }
        return parent.lastChildRow;
    }

    static const GumboNode* lastChildCellOf(Frame& parent) {
        if (!parent.lastChildCellKnown) {
            parent.lastChildCell = lastChildWith(parent.node, Display::TableCell);
            parent.lastChildCellKnown = true;
        }
        return parent.lastChildCell;
    }

    void leave(const Frame& frame) {
        switch (frame.display) {
        case Display::InlineBlock:
            m_builder.endInlineBlock();
            break;
        case Display::TableCell:
            m_builder.lineBoundary();
            if (!frame.lastCell) {
                m_builder.literal('\t', frame.visible);
            }
            break;
        case Display::TableRow:
            m_builder.lineBoundary();
            if (!frame.lastRow) {
                m_builder.literal('\n', frame.visible);
            }
            break;
        default:
            break;
        }
        if (isBlockLevel(frame.display)) {
            m_builder.lineBoundary();
        }
        if (frame.visible && frame.paragraph) {
            m_builder.requiredBreak(2);
        }
        if (frame.visible && isBlockLevel(frame.display)) {
            m_builder.requiredBreak(1);
        }
    }

    std::vector<Frame> m_stack;
    RenderedTextBuilder m_builder;
};

} // namespace

QString renderedTextOf(const GumboNode* element) {
    return Walk().run(element);
}

} // namespace vt
