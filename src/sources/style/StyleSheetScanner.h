#pragma once

#include <functional>
#include <string_view>

namespace vt::css {

// Goes through a style sheet once, left to right, and calls `rule` with the
// prelude (selector text) and the block contents of each style rule that
// applies to the screen the page is read as: rules inside @media blocks
// whose query matches, and inside @supports, @layer and @container blocks.
// Other at-rules (@import, @font-face, @keyframes, ...) are skipped. Broken
// sheets are read as CSS reads them: unterminated comments, strings and
// blocks end at the end of the sheet. The work is linear in the sheet.
void forEachStyleRule(
    std::string_view sheet,
    const std::function<void(std::string_view prelude, std::string_view block)>& rule);

} // namespace vt::css
