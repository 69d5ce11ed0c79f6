#include "OutputName.h"

#include "BidiControls.h"

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

// Each cleaning step copies the characters it keeps in one pass, so even a
// very long address is cleaned in time linear in its length.
template <typename Keep> QString keptCharacters(const QString& text, Keep keep) {
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (keep(c)) {
            result.append(c);
        }
    }
    return result;
}

QString RemoveCharacter(const QString& text, char character) {
    const QChar removed = QChar::fromLatin1(character);
    return keptCharacters(text, [removed](QChar c) { return c != removed; });
}

QString RemoveQuotesAndControls(const QString& text) {
    return keptCharacters(
        text, [](QChar c) { return c != u'"' && c.category() != QChar::Other_Control; });
}

QString SanitiseAddress(const QString& address) {
    const QLatin1StringView forbidden(ForbiddenNameCharacters);
    // Bidi controls would let the name show on screen as another name.
    return RemoveQuotesAndControls(keptCharacters(
        address, [&](QChar c) { return !forbidden.contains(c) && !isBidiControl(c); }));
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
