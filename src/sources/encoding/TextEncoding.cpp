#include "sources/encoding/TextEncoding.h"

#include "core/TextCodec.h"

#include <QStringDecoder>

namespace vt {

namespace {

// The ICU converter name for an encoding whose browser name ICU reads differently.
QByteArray converterName(const EncodingName& encoding) {
    if (encoding == u"GBK") {
        return "GB18030"; // browsers decode GBK with the gb18030 decoder
    }
    if (encoding == u"Big5") {
        return "Big5-HKSCS";
    }
    if (encoding == u"EUC-KR") {
        return "windows-949";
    }
    if (encoding == u"ISO-8859-8-I") {
        return "ISO-8859-8";
    }
    return encoding.toLatin1();
}

QString decodeUserDefined(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        text[i] = QChar(b < 0x80 ? char16_t(b) : char16_t(0xF780 + b - 0x80));
    }
    return text;
}

// UTF-8 decoding as browsers do it: each maximal invalid sequence becomes
// one U+FFFD (Qt's decoder can give one per byte).
QString decodeUtf8(QByteArrayView bytes) {
    if (bytes.isValidUtf8()) {
        // The sniffer has taken off the byte order mark; one more is a character.
        QStringDecoder keepingBom(QStringConverter::Utf8,
                                  QStringConverter::Flag::ConvertInitialBom);
        return keepingBom.decode(bytes);
    }
    QString out;
    out.reserve(bytes.size());
    char32_t codePoint = 0;
    int needed = 0;
    int seen = 0;
    unsigned lower = 0x80;
    unsigned upper = 0xBF;
    for (qsizetype i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (needed == 0) {
            ++i;
            if (b <= 0x7F) {
                out.append(QChar(b));
            } else if (b >= 0xC2 && b <= 0xDF) {
                needed = 1;
                codePoint = b & 0x1F;
            } else if (b >= 0xE0 && b <= 0xEF) {
                lower = b == 0xE0 ? 0xA0 : 0x80;
                upper = b == 0xED ? 0x9F : 0xBF;
                needed = 2;
                codePoint = b & 0x0F;
            } else if (b >= 0xF0 && b <= 0xF4) {
                lower = b == 0xF0 ? 0x90 : 0x80;
                upper = b == 0xF4 ? 0x8F : 0xBF;
                needed = 3;
                codePoint = b & 0x07;
            } else {
                out.append(QChar::ReplacementCharacter);
            }
            continue;
        }
        if (b < lower || b > upper) {
            // The byte starts over; the broken sequence counts once.
            needed = seen = 0;
            lower = 0x80;
            upper = 0xBF;
            out.append(QChar::ReplacementCharacter);
            continue;
        }
        lower = 0x80;
        upper = 0xBF;
        codePoint = (codePoint << 6) | (b & 0x3F);
        ++i;
        if (++seen == needed) {
            out.append(QString::fromUcs4(&codePoint, 1));
            needed = seen = 0;
        }
    }
    if (needed != 0) {
        out.append(QChar::ReplacementCharacter);
    }
    return out;
}

bool hasNonAscii(QByteArrayView bytes) {
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return true;
        }
    }
    return false;
}

} // namespace

EncodingName encodingFromByteOrderMark(QByteArrayView bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        return QStringLiteral("UTF-8");
    }
    if (bytes.startsWith("\xFE\xFF")) {
        return QStringLiteral("UTF-16BE");
    }
    if (bytes.startsWith("\xFF\xFE")) {
        return QStringLiteral("UTF-16LE");
    }
    return {};
}

EncodingName sniffEncoding(QByteArrayView bytes, QByteArrayView transportLabel, DocumentKind kind) {
    if (EncodingName bom = encodingFromByteOrderMark(bytes); !bom.isEmpty()) {
        return bom;
    }
    if (EncodingName transport = encodingForLabel(transportLabel); !transport.isEmpty()) {
        return transport;
    }
    if (kind == DocumentKind::Html) {
        if (EncodingName meta = prescanForMetaCharset(bytes); !meta.isEmpty()) {
            return meta;
        }
    }
    // Browsers may guess here; valid UTF-8 beyond ASCII is almost never anything else.
    if (hasNonAscii(bytes) && bytes.isValidUtf8()) {
        return QStringLiteral("UTF-8");
    }
    return QStringLiteral("windows-1252");
}

QString decodeText(QByteArrayView bytes, const EncodingName& encoding) {
    if (encoding == u"UTF-8") {
        if (bytes.startsWith("\xEF\xBB\xBF")) {
            bytes = bytes.sliced(3);
        }
        return decodeUtf8(bytes);
    }
    if (encoding == u"windows-1252" || encoding.isEmpty()) {
        return decodeWindows1252(bytes.toByteArray());
    }
    if (encoding == u"x-user-defined") {
        return decodeUserDefined(bytes);
    }
    if (encoding == u"replacement") {
        return bytes.isEmpty() ? QString() : QString(QChar::ReplacementCharacter);
    }
    if ((encoding == u"UTF-16BE" && bytes.startsWith("\xFE\xFF")) ||
        (encoding == u"UTF-16LE" && bytes.startsWith("\xFF\xFE"))) {
        bytes = bytes.sliced(2);
    }
    QStringDecoder decoder(converterName(encoding).constData(),
                           QStringDecoder::Flag::Stateless |
                               QStringDecoder::Flag::ConvertInitialBom);
    if (!decoder.isValid()) {
        return decodeWindows1252(bytes.toByteArray());
    }
    return decoder.decode(bytes);
}

QByteArray toUtf8Document(const QByteArray& bytes, QByteArrayView transportLabel) {
    const EncodingName encoding = sniffEncoding(bytes, transportLabel, DocumentKind::Html);
    if (encoding == u"UTF-8") {
        const QByteArray body = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
        if (QByteArrayView(body).isValidUtf8()) {
            return body;
        }
    }
    return decodeText(bytes, encoding).toUtf8();
}

} // namespace vt
