#include "sources/HtmlText.h"

#include "sources/HtmlParse.h"
#include "sources/RenderedText.h"
#include "sources/TextEncoding.h"

namespace vt {

QString renderedText(const QByteArray& html, const QString& encodingLabel) {
    return renderedTextOfUtf8(toUtf8Document(html, encodingLabel.toLatin1()));
}

QString renderedTextOfUtf8(QByteArray utf8) {
    const ParsedHtml document(std::move(utf8));
    return renderedTextOf(document.documentElement());
}

} // namespace vt
