// The charset sniffer and decoder on arbitrary bytes and labels. Checks what
// must hold for any input: valid UTF-8 comes out, a UTF-8 document that the
// sniffer calls UTF-8 is passed through byte for byte, and the <meta> prescan
// only ever reads the first 1024 bytes.
#include "sources/encoding/TextEncoding.h"

#include <QStringDecoder>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first line is the transport's label, the rest the document.
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype newline = input.indexOf('\n');
    const QByteArray label = newline < 0 ? QByteArray() : input.left(newline);
    const QByteArray bytes = newline < 0 ? input : input.mid(newline + 1);

    (void)vt::encodingForLabel(label);
    (void)vt::charsetFromContentType(label);
    const vt::EncodingName html = vt::sniffEncoding(bytes, label, vt::DocumentKind::Html);
    const vt::EncodingName plain = vt::sniffEncoding(bytes, label, vt::DocumentKind::PlainText);
    if (html.isEmpty() || plain.isEmpty()) {
        std::abort(); // there is always an encoding to decode with
    }
    if (vt::prescanForMetaCharset(bytes) != vt::prescanForMetaCharset(bytes.left(1024))) {
        std::abort();
    }
    const QString text = vt::decodeText(bytes, html);
    const QByteArray utf8 = vt::toUtf8Document(bytes, label);
    // Kept BOM: QString::fromUtf8 would drop a U+FEFF that starts the text.
    QStringDecoder strict(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    const QString decoded = strict(utf8);
    if (strict.hasError() || decoded.toUtf8() != utf8) {
        std::abort(); // not valid UTF-8
    }
    // The fast path and the decoder agree (unpaired surrogates, which UTF-16
    // can carry, become U+FFFD in UTF-8 either way).
    if (utf8 != text.toUtf8()) {
        std::abort();
    }
    return 0;
}
