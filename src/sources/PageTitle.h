#pragma once

#include <QByteArray>
#include <QString>

namespace vt {

// The text of the page's first <title> element, white space collapsed and the
// common character references decoded; "" when the page has none. A quick
// look at the bytes, not a parse: enough to name a recording after its page.
QString pageTitleOf(const QByteArray& html, const QByteArray& transportLabel);

} // namespace vt
