#pragma once

#include "sources/style/ElementStyle.h"

struct GumboInternalNode;

namespace vt {

class PageStyles;

// The last row of a table, in document order, by the rows' display.
const GumboInternalNode* lastRowOf(const GumboInternalNode* table, const PageStyles& styles);

// The last child of an element with the given display.
const GumboInternalNode* lastChildWith(const GumboInternalNode* parent, Display display,
                                       const PageStyles& styles);

} // namespace vt
