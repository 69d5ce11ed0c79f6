#pragma once

#include <QByteArray>

namespace vt {

// Deepest element nesting the parser is given. Browsers stop nesting at a
// similar depth; below it the parser's work per tag stays bounded.
inline constexpr int MaxNestingDepth = 256;

// Returns the UTF-8 document unchanged unless its elements nest deeper than
// maxDepth. Then, before each start tag that would go deeper, it inserts the
// end tag of the innermost open element, so the new element becomes its
// sibling instead of its child (the text stays, in the same order). The depth
// is estimated by a light tokenizer that knows the common implied end tags.
QByteArray limitNesting(QByteArray utf8, int maxDepth = MaxNestingDepth);

} // namespace vt
