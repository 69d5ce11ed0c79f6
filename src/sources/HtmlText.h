#pragma once

#include <QByteArray>
#include <QString>

namespace vt {

// The rendered text (innerText of the document element) of an HTML page given
// as it came over the wire. encodingLabel is the transport's charset label
// (the HTTP Content-Type charset), or "" when it gave none; the encoding is
// then sniffed as browsers do.
QString renderedText(const QByteArray& html, const QString& encodingLabel = QString());

// The same for a document already in UTF-8.
QString renderedTextOfUtf8(QByteArray utf8);

} // namespace vt
