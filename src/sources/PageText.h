#pragma once

#include "sources/ArticleText.h"

#include <QByteArray>

namespace vt {

// The text and title of an HTML page given as it came over the wire (see
// renderedText for encodingLabel), parsed once.
PageTexts pageTextsOfHtml(const QByteArray& html, const QString& encodingLabel, PageTextMode mode);

} // namespace vt
