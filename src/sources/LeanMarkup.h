#pragma once

#include <QByteArray>
#include <optional>

namespace vt {

// A copy of a UTF-8 HTML document without what can never reach the rendered
// text: the contents of script elements and of comments. Style sheets and
// attributes stay: the page's styles decide what is rendered. Parsing it
// gives the same rendered text with less work for the parser.
//
// The rewrite follows the HTML tokenizer exactly, but where the tokenizer's
// state depends on the tree (foreign content, select, frameset) it only goes
// on in the cases it can follow for certain; otherwise it gives up and
// returns nothing, and the document is parsed as it is.
std::optional<QByteArray> leanMarkup(const QByteArray& utf8);

} // namespace vt
