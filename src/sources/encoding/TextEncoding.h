#pragma once

#include <QByteArray>
#include <QString>

namespace vt {

// A character encoding by the name the Encoding Standard gives it
// ("UTF-8", "windows-1252", "Shift_JIS"); empty when a label is unknown.
using EncodingName = QString;

// The encoding a label denotes, as browsers read labels: case and surrounding
// blanks do not matter; latin1, iso-8859-1 and us-ascii mean windows-1252.
// Empty for a label no browser knows.
EncodingName encodingForLabel(QByteArrayView label);

// The charset parameter of a Content-Type value ("text/html; charset=UTF-8"),
// or "" when there is none.
QByteArray charsetFromContentType(QByteArrayView contentType);

// The encoding a byte-order mark at the start announces, or "".
EncodingName encodingFromByteOrderMark(QByteArrayView bytes);

// The <meta> prescan of the first 1024 bytes, as browsers run it; "" when it
// finds no usable declaration.
EncodingName prescanForMetaCharset(QByteArrayView bytes);

enum class DocumentKind { Html, PlainText };

// Which encoding a browser would decode the document with: byte-order mark,
// the transport's charset label, the <meta> prescan (HTML only), then a guess:
// UTF-8 when the bytes are valid UTF-8 with something beyond ASCII, otherwise
// windows-1252.
EncodingName sniffEncoding(QByteArrayView bytes, QByteArrayView transportLabel, DocumentKind kind);

// Decodes bytes (a leading byte-order mark of the encoding is dropped). Bytes
// that are not valid in the encoding become U+FFFD.
QString decodeText(QByteArrayView bytes, const EncodingName& encoding);

// The document as UTF-8 in the sniffed encoding, as the HTML parser wants it.
// Avoids a round trip through UTF-16 when the bytes already are valid UTF-8.
QByteArray toUtf8Document(const QByteArray& bytes, QByteArrayView transportLabel);

} // namespace vt
