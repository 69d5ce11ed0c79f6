#pragma once

#include <QByteArray>
#include <QString>

namespace vt {

// What a fetched body is, as far as reading it goes.
enum class ContentKind { Html, PlainText, Unknown, Refused };

struct ContentVerdict {
    ContentKind kind = ContentKind::Unknown;
    QString what; // for refused content: what it is ("an image (image/png)")
};

// Judges a Content-Type value (parameters allowed). Unknown when the type
// says nothing useful, so the bytes must decide.
ContentVerdict judgeContentType(QByteArrayView contentType);

// Judges a local file by its name's extension; Unknown when it does not tell.
ContentVerdict judgeFileName(const QString& fileName);

// Sniffs the first bytes of a body whose type is unknown: markup that starts
// like HTML is HTML, known binary formats and binary bytes are refused,
// anything else is plain text.
ContentVerdict sniffContent(QByteArrayView body);

} // namespace vt
