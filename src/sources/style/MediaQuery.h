#pragma once

#include <string_view>

namespace vt::css {

// Whether a media query list (of @media or a style element's media
// attribute) matches the screen the page is read as: a 1280x720 colour
// screen at 96 dpi with a fine pointer that can hover, light colours and
// scripts on. An empty list matches; anything not understood does not.
bool mediaMatches(std::string_view queryList);

} // namespace vt::css
