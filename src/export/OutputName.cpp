#include "OutputName.h"

#include <QDir>
#include <QFile>

namespace vt {

namespace {

bool isSeparator(QChar c) {
    return c == u'/' || c == QDir::separator();
}

qsizetype nameBytes(const QString& name) {
    return QFile::encodeName(name).size();
}

} // namespace

QString RemoveCharacter(const QString& text, char character) {
    QString result = text;
    result.remove(QChar::fromLatin1(character), Qt::CaseSensitive);
    return result;
}

QString RemoveQuotesAndControls(const QString& text) {
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (c != u'"' && c.category() != QChar::Other_Control) {
            result.append(c);
        }
    }
    return result;
}

QString SanitiseAddress(const QString& address) {
    QString cleaned = address;
    for (const char c : ForbiddenNameCharacters) {
        if (c != '\0') {
            cleaned = RemoveCharacter(cleaned, c);
        }
    }
    return RemoveQuotesAndControls(cleaned);
}

QString FinalMp3Path(const QString& folderText, const QString& cleanedAddress) {
    const QString extension = QStringLiteral(".mp3");
    qsizetype nameStart = folderText.size();
    while (nameStart > 0 && !isSeparator(folderText.at(nameStart - 1))) {
        --nameStart;
    }
    const QString prefix = folderText.mid(nameStart); // the folder's last component, if any
    // The address is measured once, character by character from its start, and
    // cut where the next character would no longer fit: re-encoding the whole
    // name after each cut made a long address take minutes.
    qsizetype room = MaxMp3NameBytes - nameBytes(prefix + extension);
    qsizetype kept = 0;
    while (kept < cleanedAddress.size() && room > 0) {
        const bool pair = cleanedAddress.at(kept).isHighSurrogate() &&
                          kept + 1 < cleanedAddress.size() &&
                          cleanedAddress.at(kept + 1).isLowSurrogate();
        const qsizetype length = pair ? 2 : 1;
        const qsizetype bytes = nameBytes(cleanedAddress.mid(kept, length));
        if (bytes > room) {
            break;
        }
        room -= bytes;
        kept += length;
    }
    return folderText + cleanedAddress.left(kept) + extension;
}

} // namespace vt
