#include "window/handlers/AddressEntry.h"

#include <QUrl>

namespace vt {

QString completeAddress(const QString& text) {
    if (text.contains(u"https://", Qt::CaseInsensitive) ||
        text.contains(u"http://", Qt::CaseInsensitive)) {
        return text;
    }
    return QStringLiteral("http://") + text;
}

bool IsValidURL(const QString& address) {
    const QString trimmed = address.trimmed();
    for (const QChar c : trimmed) {
        if (c.category() == QChar::Other_Control) {
            return false;
        }
    }
    const QUrl url(trimmed, QUrl::TolerantMode);
    if (!url.isValid()) {
        return false;
    }
    const QString scheme = url.scheme().toLower();
    if (scheme != u"http" && scheme != u"https") {
        return false;
    }
    const QString host = url.host();
    if (host.isEmpty()) {
        return false;
    }
    // IPv6 literals have no ACE form; names must have one.
    return host.contains(u':') || !QUrl::toAce(host).isEmpty();
}

} // namespace vt
