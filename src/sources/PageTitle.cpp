#include "sources/PageTitle.h"

#include "sources/TextEncoding.h"

#include <QHash>

namespace vt {

namespace {

qsizetype indexOfIgnoringCase(const QByteArray& haystack, QByteArrayView needle, qsizetype from) {
    // Every needle here starts with '<', which indexOf finds quickly.
    const qsizetype last = haystack.size() - needle.size();
    for (qsizetype i = haystack.indexOf(needle.front(), from); i >= 0 && i <= last;
         i = haystack.indexOf(needle.front(), i + 1)) {
        if (QByteArrayView(haystack)
                .sliced(i, needle.size())
                .compare(needle, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

QString decodeReference(const QString& name) {
    if (name.startsWith(u'#')) {
        bool ok = false;
        const bool hex = name.size() > 1 && (name.at(1) == u'x' || name.at(1) == u'X');
        const uint code = name.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
        if (ok && code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF)) {
            const char32_t character = code;
            return QString::fromUcs4(&character, 1);
        }
        return QString();
    }
    static const QHash<QString, QString> named{{"amp", "&"},   {"lt", "<"},    {"gt", ">"},
                                               {"quot", "\""}, {"apos", "'"},  {"nbsp", " "},
                                               {"ndash", "–"}, {"mdash", "—"}, {"hellip", "…"}};
    return named.value(name);
}

QString decodeReferences(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype end = text.at(i) == u'&' ? text.indexOf(u';', i) : -1;
        if (end > i + 1 && end - i <= 10) {
            const QString decoded = decodeReference(text.mid(i + 1, end - i - 1));
            if (!decoded.isEmpty()) {
                out += decoded;
                i = end;
                continue;
            }
        }
        out += text.at(i);
    }
    return out;
}

} // namespace

QString pageTitleOf(const QByteArray& html, const QByteArray& transportLabel) {
    const qsizetype open = indexOfIgnoringCase(html, "<title", 0);
    if (open < 0) {
        return QString();
    }
    const qsizetype start = html.indexOf('>', open);
    if (start < 0) {
        return QString();
    }
    const qsizetype close = indexOfIgnoringCase(html, "</title", start + 1);
    if (close < 0) {
        return QString();
    }
    const QByteArray raw = html.mid(start + 1, close - start - 1);
    const EncodingName encoding = sniffEncoding(html, transportLabel, DocumentKind::Html);
    return decodeReferences(decodeText(raw, encoding).simplified()).simplified();
}

} // namespace vt
