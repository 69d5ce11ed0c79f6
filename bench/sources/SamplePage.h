#pragma once

#include <QByteArray>

namespace vt::bench {

// A large page shaped like a real news or documentation site: a head full of
// styles, scripts and metadata, navigation menus, articles with inline markup,
// tables, forms, comments and a footer. Deterministic for a given size.
// scriptShare (0..1) is roughly the part of the bytes inside script and style
// elements; on large real pages inline scripts and data often make a third.
QByteArray samplePage(qsizetype approximateBytes, double scriptShare = 0.3);

// A page of one long story (half the bytes) with a site's menus, related
// lists, forms and script data around it.
QByteArray sampleArticlePage(qsizetype approximateBytes);

} // namespace vt::bench
