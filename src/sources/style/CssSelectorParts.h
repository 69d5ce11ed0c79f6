#pragma once

#include "sources/style/CssSelector.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace vt::css {

// Pseudo-classes that are valid but depend on the user, the document's
// state or things not supported here: a selector with one is left out.
bool isUnsupportedPseudoClass(std::string_view lowerName);
bool isUnsupportedFunction(std::string_view lowerName);
// ":before" and friends, written with one colon.
bool isLegacyPseudoElement(std::string_view lowerName);

// The argument of :nth-child(): "odd", "even" or "an+b", blanks allowed.
// Anything else (such as "of S") is rejected.
bool parseNth(std::string_view text, int& a, int& b);

// Specificity packed as ids << 20 | classes << 10 | types, each capped at 1023.
std::uint32_t specificityOf(const std::vector<Compound>& compounds);

} // namespace vt::css
