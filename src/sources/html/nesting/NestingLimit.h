#pragma once

#include <QByteArray>

namespace vt {

// Deepest element nesting inside the body the parser is given. Browsers stop
// nesting at a similar depth; below it the parser's work per tag stays bounded.
inline constexpr int MaxNestingDepth = 256;

// The UTF-8 document as the parser is given it: unchanged, except that a start
// tag met while more than maxDepth elements are open inside the body is left
// out (its content goes to the innermost open element instead; a block's
// start tag becomes a line break, "<br>", so its lines stay apart). The document is
// followed tag by tag as the HTML tokenizer and tree builder read it; where
// that cannot be followed for certain (tables, select, foreign content...),
// the rest is left as it is. So the rendered text only ever differs where the
// document's tree is deeper than maxDepth.
QByteArray limitNesting(QByteArray utf8, int maxDepth = MaxNestingDepth);

} // namespace vt
