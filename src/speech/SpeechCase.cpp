#include "SpeechCase.h"

namespace vt {

namespace {

// The character (a whole surrogate pair counts as one) at i, and its length.
struct CodePoint {
    char32_t value;
    qsizetype length;
};

CodePoint codePointAt(const char16_t* text, qsizetype i, qsizetype length) {
    const char16_t c = text[i];
    if (QChar::isHighSurrogate(c) && i + 1 < length && QChar::isLowSurrogate(text[i + 1])) {
        return {QChar::surrogateToUcs4(c, text[i + 1]), 2};
    }
    return {c, 1};
}

bool isAsciiLetterOrDigit(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

bool isWordPart(char32_t c) {
    if (c < 0x80) {
        return isAsciiLetterOrDigit(static_cast<char16_t>(c)) || c == U'\'';
    }
    return QChar::isLetterOrNumber(c) || QChar::isMark(c) || c == U'\u2019';
}

void lowerRange(char16_t* text, qsizetype from, qsizetype to) {
    for (qsizetype i = from; i < to;) {
        const char16_t c = text[i];
        if (c < 0x80) {
            if (c >= u'A' && c <= u'Z') {
                text[i] = static_cast<char16_t>(c + (u'a' - u'A'));
            }
            ++i;
            continue;
        }
        const CodePoint point = codePointAt(text, i, to);
        const char32_t lower = QChar::toLower(point.value);
        if (point.length == 1 && !QChar::requiresSurrogates(lower)) {
            text[i] = static_cast<char16_t>(lower);
        } else if (point.length == 2 && QChar::requiresSurrogates(lower)) {
            text[i] = QChar::highSurrogate(lower);
            text[i + 1] = QChar::lowSurrogate(lower);
        }
        i += point.length;
    }
}

} // namespace

void lowerOrdinaryWords(QString& text) {
    const qsizetype length = text.size();
    if (length == 0) {
        return;
    }
    char16_t* p = reinterpret_cast<char16_t*>(text.data());
    qsizetype i = 0;
    while (i < length) {
        // Plain ASCII outside words, by far the most common text, skips the
        // Unicode tables.
        const char16_t c = p[i];
        if (c < 0x80 && !isAsciiLetterOrDigit(c)) {
            ++i;
            continue;
        }
        const qsizetype start = i;
        bool letterSeen = false;
        bool innerCapital = false;
        bool anyCapital = false;
        while (i < length) {
            const char16_t u = p[i];
            if (u < 0x80) {
                if (!isAsciiLetterOrDigit(u) && u != u'\'') {
                    break;
                }
                if (u >= u'A' && u <= u'Z') {
                    anyCapital = true;
                    innerCapital = innerCapital || letterSeen;
                    letterSeen = true;
                } else if (u >= u'a') {
                    letterSeen = true;
                }
                ++i;
                continue;
            }
            const CodePoint point = codePointAt(p, i, length);
            if (!isWordPart(point.value)) {
                break;
            }
            if (QChar::isUpper(point.value)) {
                anyCapital = true;
                innerCapital = innerCapital || letterSeen;
            }
            letterSeen = letterSeen || QChar::isLetter(point.value);
            i += point.length;
        }
        if (i == start) {
            ++i; // a character that is no part of a word
        } else if (anyCapital && !innerCapital) {
            lowerRange(p, start, i);
        }
    }
}

} // namespace vt
