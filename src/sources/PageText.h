#pragma once

#include "sources/ArticleText.h"

#include <QByteArray>
#include <atomic>

namespace vt {

// The text and title of an HTML page given as it came over the wire (see
// renderedText for encodingLabel and cancel), parsed once.
PageTexts pageTextsOfHtml(const QByteArray& html, const QString& encodingLabel, PageTextMode mode,
                          const std::atomic_bool* cancel = nullptr);

} // namespace vt
