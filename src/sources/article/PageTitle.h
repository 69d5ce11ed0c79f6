#pragma once

#include <QString>

struct GumboInternalNode;

namespace vt {

// The titles a page gives in its head, white space simplified; "" when absent.
QString openGraphTitleOf(const GumboInternalNode* documentElement); // meta og:title
QString titleElementOf(const GumboInternalNode* documentElement);   // <title>
// The page's own summary: meta og:description, else meta name="description".
QString descriptionOf(const GumboInternalNode* documentElement);

// The rendered text of a heading on one line.
QString headingTextOf(const GumboInternalNode* heading);

// Whether a heading's text and one of the head's titles name the same thing
// ("Storm closes harbour" and "Storm closes harbour | The Daily Example").
bool titlesAgree(const QString& heading, const QString& title);

} // namespace vt
