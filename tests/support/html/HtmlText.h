#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>

namespace vt {

// The rendered text (innerText of the document element) of an HTML page given
// as it came over the wire. encodingLabel is the transport's charset label
// (the HTTP Content-Type charset), or "" when it gave none; the encoding is
// then sniffed as browsers do. Fails (Failure) when *cancel becomes true
// first, or when the markup needs more memory than any page should.
QString renderedText(const QByteArray& html, const QString& encodingLabel = QString(),
                     const std::atomic_bool* cancel = nullptr);

// The same for a document already in UTF-8.
QString renderedTextOfUtf8(QByteArray utf8, const std::atomic_bool* cancel = nullptr);

} // namespace vt
