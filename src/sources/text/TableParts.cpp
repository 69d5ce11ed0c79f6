#include "sources/text/TableParts.h"

#include <gumbo.h>

namespace vt {

namespace {

const GumboVector& childrenOf(const GumboNode* node) {
    return node->type == GUMBO_NODE_DOCUMENT ? node->v.document.children : node->v.element.children;
}

bool isElement(const GumboNode* node) {
    return node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE;
}

const GumboNode* child(const GumboNode* node, unsigned index) {
    return static_cast<const GumboNode*>(childrenOf(node).data[index]);
}

Display partDisplay(const GumboNode* node, const PageStyles& styles) {
    return isElement(node) ? styleOf(node, &styles).display : Display::None;
}

} // namespace

const GumboNode* lastRowOf(const GumboNode* table, const PageStyles& styles) {
    const GumboVector& children = childrenOf(table);
    for (unsigned i = children.length; i-- > 0;) {
        const GumboNode* part = child(table, i);
        const Display display = partDisplay(part, styles);
        if (display == Display::TableRow) {
            return part;
        }
        if (display == Display::TableRowGroup || display == Display::TableFooterGroup) {
            const GumboVector& rows = childrenOf(part);
            for (unsigned k = rows.length; k-- > 0;) {
                if (partDisplay(child(part, k), styles) == Display::TableRow) {
                    return child(part, k);
                }
            }
        }
    }
    return nullptr;
}

const GumboNode* lastChildWith(const GumboNode* parent, Display display, const PageStyles& styles) {
    const GumboVector& children = childrenOf(parent);
    for (unsigned i = children.length; i-- > 0;) {
        if (partDisplay(child(parent, i), styles) == display) {
            return child(parent, i);
        }
    }
    return nullptr;
}

} // namespace vt
