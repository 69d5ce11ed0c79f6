#pragma once

#include <QByteArray>

namespace vt::bench {

// A style sheet shaped like a large site's: component classes, descendant and
// child selectors, state rules, media blocks, attribute selectors, and a few
// rules that hide menus and dialogs. Deterministic for a given rule count.
QByteArray sampleStyleSheet(int rules);

// The sample page with that style sheet in a style element of its head.
QByteArray withStyleSheet(const QByteArray& page, const QByteArray& css);

// A page of the given number of elements (nested divs, lists, spans with
// classes from a shared pool) and a style sheet of the given number of rules
// using the same classes.
QByteArray manyRulesPage(int rules, int elements);

} // namespace vt::bench
