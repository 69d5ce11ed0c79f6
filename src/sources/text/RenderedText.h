#pragma once

#include "sources/text/PageOutline.h"

#include <QString>

struct GumboInternalNode;

namespace vt {

class PageStyles;

// The innerText of an element of a parsed document, by the browsers' rendered
// text rules with their default style sheet, the page's own style sheets and
// each element's style attribute. The walk keeps its own stack, so any depth
// is fine. The first form reads the page's style sheets itself; pass them
// read once (PageStyles) to render several parts of one document.
QString renderedTextOf(const GumboInternalNode* element);
QString renderedTextOf(const GumboInternalNode* element, const PageStyles& styles);

// The same, also collecting the rendered headings (h1-h6 with text) into
// headings. The text is the same as without them.
QString renderedTextOf(const GumboInternalNode* element, std::vector<TextHeading>* headings);

} // namespace vt
