#include "sources/text/RenderedText.h"

#include "sources/html/RenderStop.h"
#include "sources/style/ElementStyle.h"
#include "sources/style/PageStyles.h"
#include "sources/text/FirstLine.h"
#include "sources/text/RenderedHeadings.h"
#include "sources/text/RenderedTextBuilder.h"
#include "sources/text/TableParts.h"

#include <algorithm>
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
    MathOnly,     // a formula's parts: only MathML elements
};

// What an element passes on to its children.
struct Inherited {
    bool visible = true;
    WhiteSpace whiteSpace = WhiteSpace::Collapse;
    TextTransform textTransform = TextTransform::None;
    std::string_view language; // the nearest lang attribute; case mapping follows it
    bool ownTransform = false; // set by an inline element inside the nearest block
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
    bool blockifiesChildren = false;    // a flex or grid container
    bool paragraph = false;
    bool lastCell = false;           // no tab after it
    bool lastRow = false;            // no line feed after it
    int heading = -1;                // its entry among the headings being collected
    bool setsFirstLineAside = false; // out of flow: the first line around it resumes after it
    FirstLine::State firstLineAside;
    GeneratedBox generatedAfter = GeneratedBox::None;
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
    case ChildFilter::MathOnly:
        return isElement(node) && node->v.element.tag_namespace == GUMBO_NAMESPACE_MATHML;
    }
    return true;
}

bool isTableStructure(Display display) {
    return display == Display::Table || display == Display::TableRowGroup ||
           display == Display::TableFooterGroup || display == Display::TableRow ||
           display == Display::TableColumn;
}

std::string_view languageOf(const GumboNode* element, std::string_view inherited) {
    const GumboAttribute* lang = gumbo_get_attribute(&element->v.element.attributes, "lang");
    return lang ? std::string_view(lang->value) : inherited;
}

bool isWhiteSpaceOnly(const GumboNode* node) {
    return node->type == GUMBO_NODE_WHITESPACE;
}

class Walk {
  public:
    explicit Walk(const PageStyles& styles, std::vector<TextHeading>* headings = nullptr)
        : m_styles(styles), m_headings(headings) {}

    QString run(const GumboNode* root) {
        Frame top;
        top.node = root;
        top.inherited = inheritedFromAncestors(root);
        const ElementStyle style = styleOf(root, &m_styles);
        top.inherited.visible = style.visible.value_or(top.inherited.visible);
        top.inherited.whiteSpace = style.whiteSpace.value_or(top.inherited.whiteSpace);
        top.inherited.textTransform = style.textTransform.value_or(top.inherited.textTransform);
        top.inherited.language = languageOf(root, top.inherited.language);
        top.blockifiesChildren = style.blockifiesChildren;
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
            checkRenderStop();
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
        QString text = QString::fromUtf8(m_builder.result());
        if (m_headings) {
            collectHeadings(m_builder.result(), text, m_spans, *m_headings);
        }
        return text;
    }

  private:
    static bool isHeading(const GumboNode* node) {
        for (const GumboTag tag :
             {GUMBO_TAG_H1, GUMBO_TAG_H2, GUMBO_TAG_H3, GUMBO_TAG_H4, GUMBO_TAG_H5, GUMBO_TAG_H6}) {
            if (isHtml(node, tag)) {
                return true;
            }
        }
        return false;
    }

    // What an element inside the document gets from its ancestors, for
    // rendering a part of a page.
    Inherited inheritedFromAncestors(const GumboNode* element) const {
        std::vector<const GumboNode*> ancestors;
        for (const GumboNode* a = element->parent; a && isElement(a); a = a->parent) {
            ancestors.push_back(a);
        }
        Inherited inherited;
        for (auto a = ancestors.rbegin(); a != ancestors.rend(); ++a) {
            const ElementStyle style = styleOf(*a, &m_styles);
            inherited.visible = style.visible.value_or(inherited.visible);
            inherited.whiteSpace = style.whiteSpace.value_or(inherited.whiteSpace);
            inherited.textTransform = style.textTransform.value_or(inherited.textTransform);
            inherited.language = languageOf(*a, inherited.language);
        }
        return inherited;
    }

    void text(const Frame& parent, const GumboNode* node) {
        if (isWhiteSpaceOnly(node) &&
            (isTableStructure(parent.display) || parent.blockifiesChildren)) {
            return; // white space between table parts or flex items makes no box
        }
        // Text directly in a flex or grid container is an item of its own.
        const bool item = parent.blockifiesChildren;
        if (item) {
            blockEdge(parent.inherited.visible);
        }
        const Inherited& in = parent.inherited;
        if (!m_firstLine.active()) {
            m_builder.text(node->v.text.text, in.whiteSpace, in.visible, in.textTransform,
                           in.language);
        } else {
            m_firstLine.split(node->v.text.text, in.whiteSpace != WhiteSpace::Collapse,
                              in.ownTransform, m_pieces);
            for (const FirstLine::Piece& piece : m_pieces) {
                m_builder.text(piece.text, in.whiteSpace, in.visible,
                               piece.transform.value_or(in.textTransform), in.language);
            }
        }
        if (item) {
            blockEdge(parent.inherited.visible);
        }
    }

    void blockEdge(bool visible) {
        m_builder.lineBoundary();
        if (visible) {
            m_builder.requiredBreak(1);
        }
    }

    void enter(const GumboNode* node) {
        Frame& parent = m_stack.back();
        ElementStyle style = styleOf(node, &m_styles);
        if (style.display == Display::None) {
            return;
        }
        if (style.outOfFlow || (parent.blockifiesChildren && style.display != Display::Contents)) {
            style.display = blockified(style.display);
        }
        const bool visible = style.visible.value_or(parent.inherited.visible);
        if (isHtml(node, GUMBO_TAG_BR)) {
            m_firstLine.end();
            m_builder.literal('\n', visible);
            return;
        }
        Frame frame;
        frame.node = node;
        frame.inherited = parent.inherited;
        frame.inherited.visible = visible;
        frame.inherited.whiteSpace = style.whiteSpace.value_or(parent.inherited.whiteSpace);
        frame.inherited.textTransform =
            style.textTransform.value_or(parent.inherited.textTransform);
        frame.inherited.language = languageOf(node, parent.inherited.language);
        frame.display = style.display;
        // The children of display:contents are the container's children.
        frame.blockifiesChildren = style.display == Display::Contents ? parent.blockifiesChildren
                                                                      : style.blockifiesChildren;
        frame.visible = visible;
        frame.paragraph = isHtml(node, GUMBO_TAG_P);
        firstLineOnEnter(node, style, frame);
        if (m_headings && visible && isHeading(node)) {
            frame.heading = static_cast<int>(m_spans.size());
            m_spans.push_back({m_builder.result().size(), m_builder.result().size()});
        }

        switch (style.display) {
        case Display::Replaced:
            m_builder.inlineObject();
            return;
        case Display::BlockObject:
            blockEdge(visible);
            m_builder.inlineObject();
            blockEdge(visible);
            return;
        case Display::TableColumn:
            return;
        case Display::InlineBlock:
            m_builder.beginInlineBlock();
            break;
        case Display::Table:
            frame.inherited.lastRowOfTable = lastRowOf(node, m_styles);
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

        if (style.mathChildrenOnly) {
            frame.filter = ChildFilter::MathOnly;
        } else if (isHtml(node, GUMBO_TAG_SELECT)) {
            frame.filter = ChildFilter::Options;
        } else if (isHtml(node, GUMBO_TAG_OPTGROUP)) {
            frame.filter = ChildFilter::OptionsOnly;
        } else if (isHtml(node, GUMBO_TAG_DETAILS) &&
                   !gumbo_get_attribute(&node->v.element.attributes, "open")) {
            frame.filter = ChildFilter::FirstSummary;
            frame.summary = firstSummaryOf(node);
        }
        if (m_styles.hasGeneratedContentRules()) {
            const GeneratedContent generated = generatedContentOf(node, m_styles);
            generatedBox(generated.before);
            frame.generatedAfter = generated.after;
        }
        m_stack.push_back(frame);
    }

    // Where the element stands in the first line of its block, and whether
    // text inside it keeps a casing of its own.
    void firstLineOnEnter(const GumboNode* node, const ElementStyle& style, Frame& frame) {
        const Display display = style.display;
        const bool blockContainer =
            (display == Display::Block || display == Display::ListItem ||
             display == Display::TableCell || display == Display::TableCaption) &&
            !style.blockifiesChildren;
        if (blockContainer || display == Display::InlineBlock || isTableStructure(display)) {
            frame.inherited.ownTransform = false;
        } else if (style.textTransform) {
            frame.inherited.ownTransform = true;
        }
        if (style.outOfFlow && m_firstLine.active()) {
            frame.setsFirstLineAside = true;
            frame.firstLineAside = m_firstLine.suspend();
        }
        if (blockContainer && (m_firstLine.active() || m_styles.hasPseudoElementRules())) {
            m_firstLine.enterBlock(m_stack.size(), firstLineStyleOf(node, m_styles),
                                   display == Display::ListItem);
        } else if (m_firstLine.active() && display != Display::Inline &&
                   display != Display::Contents) {
            m_firstLine.end(); // an atomic inline, a table, a flex container
        }
    }

    const GumboNode* lastChildRowOf(Frame& parent) const {
        if (!parent.lastChildRowKnown) {
            parent.lastChildRow = lastChildWith(parent.node, Display::TableRow, m_styles);
            parent.lastChildRowKnown = true;
        }
        return parent.lastChildRow;
    }

    const GumboNode* lastChildCellOf(Frame& parent) const {
        if (!parent.lastChildCellKnown) {
            parent.lastChildCell = lastChildWith(parent.node, Display::TableCell, m_styles);
            parent.lastChildCellKnown = true;
        }
        return parent.lastChildCell;
    }

    // Generated content is not read, but it stands between the words.
    void generatedBox(GeneratedBox box) {
        if (box == GeneratedBox::Inline) {
            m_builder.inlineObject();
        } else if (box == GeneratedBox::Block) {
            m_builder.lineBoundary();
        }
    }

    void leave(const Frame& frame) {
        generatedBox(frame.generatedAfter);
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
        if (isBlockLevel(frame.display) || frame.display == Display::TableCell) {
            m_firstLine.leaveBlock(m_stack.size() - 1);
        }
        if (frame.setsFirstLineAside) {
            m_firstLine.resume(frame.firstLineAside);
        }
        if (frame.heading >= 0) {
            m_spans[static_cast<std::size_t>(frame.heading)].end = m_builder.result().size();
        }
    }

    const PageStyles& m_styles;
    std::vector<TextHeading>* m_headings;
    std::vector<HeadingSpan> m_spans;
    std::vector<Frame> m_stack;
    RenderedTextBuilder m_builder;
    FirstLine m_firstLine;
    std::vector<FirstLine::Piece> m_pieces;
};

} // namespace

QString renderedTextOf(const GumboNode* element) {
    const PageStyles styles(element);
    return Walk(styles).run(element);
}

QString renderedTextOf(const GumboNode* element, const PageStyles& styles) {
    return Walk(styles).run(element);
}

QString renderedTextOf(const GumboNode* element, std::vector<TextHeading>* headings) {
    const PageStyles styles(element);
    return Walk(styles, headings).run(element);
}

void shiftHeadings(std::vector<TextHeading>& headings, qsizetype shift) {
    for (TextHeading& heading : headings) {
        heading.offset += shift;
    }
}

} // namespace vt
