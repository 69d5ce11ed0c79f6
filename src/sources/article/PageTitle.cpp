#include "sources/article/PageTitle.h"

#include "sources/text/RenderedText.h"

#include <gumbo.h>

namespace vt {

namespace {

// A title without case, punctuation and spacing differences.
QString comparable(const QString& title) {
    QString plain;
    for (const QChar c : title) {
        if (c.isLetterOrNumber()) {
            plain += c.toCaseFolded();
        }
    }
    return plain;
}

} // namespace

QString headingTextOf(const GumboNode* heading) {
    return renderedTextOf(heading).simplified();
}

bool titlesAgree(const QString& heading, const QString& title) {
    const QString a = comparable(heading);
    const QString b = comparable(title);
    return !a.isEmpty() && !b.isEmpty() && (a.contains(b) || b.contains(a));
}

} // namespace vt
