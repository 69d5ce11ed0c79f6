#include "SpokenLine.h"

#include "CleanSpeechText.h"
#include "SpeechCase.h"

#include <algorithm>

namespace vt {

namespace {

// Whether the character at i (a whole surrogate pair counts as one) is an
// upper-case letter, of any script.
bool startsWithCapital(const char16_t* text, qsizetype i, qsizetype length) {
    const char16_t c = text[i];
    if (QChar::isHighSurrogate(c) && i + 1 < length && QChar::isLowSurrogate(text[i + 1])) {
        return QChar::isUpper(QChar::surrogateToUcs4(c, text[i + 1]));
    }
    return QChar::isUpper(c);
}

// Lower-casing hides a sentence end inside a line from the engine: it reads a
// full stop before a lower-case word as an abbreviation and makes no pause.
// Where the line had an upper-case letter after ". ", the blank becomes a line
// feed, which still ends the sentence. The full stops of the line and of the
// spoken line are the same: neither step makes or removes one.
void keepSentenceEnds(const char16_t* original, char16_t* spoken, qsizetype length) {
    char16_t* const end = spoken + length;
    for (char16_t* dot = std::find(spoken, end, u'.'); dot != end && dot + 1 < end;
         dot = std::find(dot + 1, end, u'.')) {
        if (dot[1] != u' ') {
            continue;
        }
        const char16_t* next = dot + 1;
        while (next < end && *next == u' ') {
            ++next;
        }
        if (next < end && startsWithCapital(original, next - spoken, length)) {
            dot[1] = u'\n';
        }
    }
}

} // namespace

void makeSpokenLine(QStringView line, QString& out) {
    const qsizetype length = line.size();
    out.resize(length);
    if (length == 0) {
        return;
    }
    const char16_t* original = line.utf16();
    char16_t* spoken = reinterpret_cast<char16_t*>(out.data());
    std::copy_n(original, length, spoken);
    lowerOrdinaryWords(spoken, length);
    // Cleaning decides on the original line: lower-casing keeps every
    // character's class, so the decisions are the same and no second copy
    // is needed.
    cleanSpeechText(original, spoken, length);
    keepSentenceEnds(original, spoken, length);
}

} // namespace vt
