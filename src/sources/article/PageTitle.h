#pragma once

#include <QString>

struct GumboInternalNode;

namespace vt {

// The rendered text of a heading on one line.
QString headingTextOf(const GumboInternalNode* heading);

// Whether a heading's text and one of the head's titles name the same thing
// ("Storm closes harbour" and "Storm closes harbour | The Daily Example").
bool titlesAgree(const QString& heading, const QString& title);

} // namespace vt
