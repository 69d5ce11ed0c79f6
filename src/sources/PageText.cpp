#include "sources/PageText.h"

#include "sources/HtmlParse.h"
#include "sources/TextEncoding.h"

namespace vt {

PageTexts pageTextsOfHtml(const QByteArray& html, const QString& encodingLabel, PageTextMode mode) {
    const ParsedHtml document(toUtf8Document(html, encodingLabel.toLatin1()));
    return pageTextsOf(document.documentElement(), mode);
}

} // namespace vt
