#include "sources/fetch/PageContent.h"

#include <QFileInfo>
#include <initializer_list>

namespace vt {

namespace {

ContentVerdict refused(const QString& what) {
    return {ContentKind::Refused, what};
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool startsWithNoCase(QByteArrayView bytes, QByteArrayView prefix) {
    if (bytes.size() < prefix.size()) {
        return false;
    }
    for (qsizetype i = 0; i < prefix.size(); ++i) {
        char c = bytes[i];
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 32);
        }
        if (c != prefix[i]) {
            return false;
        }
    }
    return true;
}

// The tag openings that mark a document as HTML when its type is unknown.
bool looksLikeHtml(QByteArrayView bytes) {
    qsizetype i = 0;
    while (i < bytes.size() && isSpace(bytes[i])) {
        ++i;
    }
    const QByteArrayView rest = bytes.sliced(i);
    for (const char* tag : {"<!DOCTYPE HTML", "<HTML", "<HEAD", "<SCRIPT", "<IFRAME", "<H1", "<DIV",
                            "<FONT", "<TABLE", "<A", "<STYLE", "<TITLE", "<B", "<BODY", "<BR", "<P",
                            "<!--", "<META", "<LINK"}) {
        const QByteArrayView prefix(tag);
        if (startsWithNoCase(rest, prefix)) {
            if (prefix == "<!--") {
                return true;
            }
            if (rest.size() > prefix.size()) {
                const char next = rest[prefix.size()];
                if (isSpace(next) || next == '>') {
                    return true;
                }
            }
        }
    }
    return false;
}

QString describeBinary(QByteArrayView bytes) {
    struct Signature {
        QByteArrayView magic;
        const char* what;
    };
    const Signature signatures[] = {
        {"GIF87a", "an image (GIF)"},
        {"GIF89a", "an image (GIF)"},
        {"\x89PNG\r\n\x1A\n", "an image (PNG)"},
        {"\xFF\xD8\xFF", "an image (JPEG)"},
        {"BM", "an image (BMP)"},
        {"%PDF-", "a PDF document"},
        {"PK\x03\x04", "a ZIP archive"},
        {"\x1F\x8B\x08", "a gzip archive"},
        {"ID3", "a sound file (MP3)"},
        {"OggS", "a sound or video file (Ogg)"},
        {"\x1A\x45\xDF\xA3", "a video (WebM)"},
    };
    for (const Signature& signature : signatures) {
        if (bytes.startsWith(signature.magic)) {
            return QString::fromLatin1(signature.what);
        }
    }
    if (bytes.size() >= 12 && bytes.startsWith("RIFF")) {
        const QByteArrayView kind = bytes.sliced(8, 4);
        if (kind == "WEBP") {
            return QStringLiteral("an image (WebP)");
        }
        if (kind == "WAVE") {
            return QStringLiteral("a sound file (WAV)");
        }
    }
    return {};
}

bool hasBinaryBytes(QByteArrayView bytes) {
    for (const char c : bytes.first(qMin<qsizetype>(bytes.size(), 1445))) {
        const auto b = static_cast<unsigned char>(c);
        if (b <= 0x08 || b == 0x0B || (b >= 0x0E && b <= 0x1A) || (b >= 0x1C && b <= 0x1F)) {
            return true;
        }
    }
    return false;
}

} // namespace

ContentVerdict judgeContentType(QByteArrayView contentType) {
    const QByteArray mime = contentType.toByteArray().split(';').first().trimmed().toLower();
    if (mime.isEmpty() || mime == "unknown/unknown" || mime == "application/unknown" ||
        mime == "*/*") {
        return {ContentKind::Unknown, {}};
    }
    if (mime == "text/html" || mime == "application/xhtml+xml") {
        return {ContentKind::Html, {}};
    }
    if (mime == "text/plain") {
        return {ContentKind::PlainText, {}};
    }
    const QString type = QString::fromLatin1(mime);
    if (mime.startsWith("image/")) {
        return refused(QStringLiteral("an image (%1)").arg(type));
    }
    if (mime.startsWith("audio/")) {
        return refused(QStringLiteral("a sound file (%1)").arg(type));
    }
    if (mime.startsWith("video/")) {
        return refused(QStringLiteral("a video (%1)").arg(type));
    }
    if (mime == "application/pdf") {
        return refused(QStringLiteral("a PDF document (%1)").arg(type));
    }
    if (mime == "application/octet-stream") {
        return refused(QStringLiteral("binary data (%1)").arg(type));
    }
    return refused(QStringLiteral("content of type %1").arg(type));
}

ContentVerdict judgeFileName(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == u"html" || suffix == u"htm" || suffix == u"xhtml" || suffix == u"xht" ||
        suffix == u"shtml") {
        return {ContentKind::Html, {}};
    }
    if (suffix == u"txt" || suffix == u"text") {
        return {ContentKind::PlainText, {}};
    }
    return {ContentKind::Unknown, {}};
}

ContentVerdict sniffContent(QByteArrayView body) {
    if (body.startsWith("\xEF\xBB\xBF") || body.startsWith("\xFE\xFF") ||
        body.startsWith("\xFF\xFE")) {
        const QByteArrayView rest = body.sliced(body.startsWith("\xEF") ? 3 : 2);
        return {body.startsWith("\xEF") && looksLikeHtml(rest) ? ContentKind::Html
                                                               : ContentKind::PlainText,
                {}};
    }
    if (looksLikeHtml(body)) {
        return {ContentKind::Html, {}};
    }
    if (const QString what = describeBinary(body); !what.isEmpty()) {
        return refused(what);
    }
    if (hasBinaryBytes(body)) {
        return refused(QStringLiteral("binary data"));
    }
    return {ContentKind::PlainText, {}};
}

} // namespace vt
