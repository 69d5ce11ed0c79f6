#include "PieceJoin.h"

#include <QStringView>

namespace vt {

namespace {

// Letters, digits and marks of any script, and what the export keeps inside a
// word: apostrophes and the symbols that are said with it ("10%", "AT&T").
bool isWordPart(QChar c) {
    return c.isLetterOrNumber() || c.isMark() || c.isSurrogate() ||
           QStringView(u"'\u2019%$\u20ac\u00a3\u00a5&@+#=").contains(c);
}

// Whether the engine ends a sentence or a line where text ends, given the
// word that follows: a line feed among the final blanks, or ! ? or . before
// them (a full stop before a lower-case word is read as an abbreviation).
bool endsSentenceOrLine(const QString& text, const QString& following) {
    qsizetype end = text.size();
    while (end > 0 && text[end - 1].isSpace()) {
        if (text[end - 1] == u'\n') {
            return true;
        }
        --end;
    }
    if (end == 0) {
        return true; // nothing is said that could go on
    }
    const QChar before = text[end - 1];
    if (before == u'!' || before == u'?') {
        return true;
    }
    return before == u'.' && (following.isEmpty() || !following[0].isLower());
}

} // namespace

PieceJoin::Speech PieceJoin::next(const QString& piece, bool textGoesOn) {
    QString text = m_waiting + piece;
    m_waiting.clear();
    if (!textGoesOn) {
        return {text, false};
    }
    qsizetype start = text.size();
    while (start > 0 && isWordPart(text[start - 1])) {
        --start;
    }
    if (start > 0 && text.size() - start <= LongestWord) {
        m_waiting = text.mid(start);
        text.truncate(start);
    }
    const bool sentenceGoesOn = !endsSentenceOrLine(text, m_waiting);
    return {text, sentenceGoesOn};
}

} // namespace vt
