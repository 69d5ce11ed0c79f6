#include "support/html/HtmlText.h"

#include "sources/encoding/TextEncoding.h"
#include "sources/html/HtmlParse.h"
#include "sources/text/RenderedText.h"

namespace vt {

QString renderedText(const QByteArray& html, const QString& encodingLabel,
                     const std::atomic_bool* cancel) {
    return renderedTextOfUtf8(toUtf8Document(html, encodingLabel.toLatin1()), cancel);
}

QString renderedTextOfUtf8(QByteArray utf8, const std::atomic_bool* cancel) {
    const ParsedHtml document(std::move(utf8), cancel);
    return renderedTextOf(document.documentElement());
}

} // namespace vt
