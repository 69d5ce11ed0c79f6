#pragma once

#include <QString>

struct GumboInternalNode;

namespace vt {

// The innerText of an element of a parsed document, by the browsers' rendered
// text rules with their default style sheet plus each element's own style
// attribute. The walk keeps its own stack, so any depth is fine.
QString renderedTextOf(const GumboInternalNode* element);

} // namespace vt
