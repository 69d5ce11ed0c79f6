#pragma once

#include "sources/style/CssDeclarations.h"
#include "sources/style/ElementStyle.h"

namespace vt {

// Applies what the page's style sheets and the element's style attribute
// declare on top of the default style. The attribute wins at equal
// importance. Declarations hiding html or body themselves (isRoot) are left
// out: such pages show themselves with scripts, which are not run. An object
// (an image, a video, a text field) never shows text of its own, whatever
// display it is given.
void applyDeclarations(const css::Declarations& sheet, const css::Declarations& own, bool isRoot,
                       bool object, ElementStyle& style);

} // namespace vt
