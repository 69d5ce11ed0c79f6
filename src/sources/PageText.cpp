#include "sources/PageText.h"

#include "sources/encoding/TextEncoding.h"
#include "sources/html/HtmlParse.h"

namespace vt {

PageTexts pageTextsOfHtml(const QByteArray& html, const QString& encodingLabel, PageTextMode mode,
                          const std::atomic_bool* cancel) {
    const ParsedHtml document(toUtf8Document(html, encodingLabel.toLatin1()), cancel);
    return pageTextsOf(document.documentElement(), mode);
}

} // namespace vt
