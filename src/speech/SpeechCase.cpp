#include "SpeechCase.h"

#include <array>

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

// What an ASCII character is to a word: one table look-up per character
// instead of a chain of comparisons.
enum class Ascii : unsigned char { Other, Lower, Upper, Part };

constexpr std::array<Ascii, 128> makeAsciiClasses() {
    std::array<Ascii, 128> classes{};
    for (char16_t c = 0; c < 128; ++c) {
        if (c >= u'a' && c <= u'z') {
            classes[c] = Ascii::Lower;
        } else if (c >= u'A' && c <= u'Z') {
            classes[c] = Ascii::Upper;
        } else if ((c >= u'0' && c <= u'9') || c == u'\'') {
            classes[c] = Ascii::Part;
        }
    }
    return classes;
}

constexpr std::array<Ascii, 128> asciiClasses = makeAsciiClasses();

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
    if (!text.isEmpty()) {
        lowerOrdinaryWords(reinterpret_cast<char16_t*>(text.data()), text.size());
    }
}

void lowerOrdinaryWords(char16_t* p, qsizetype length) {
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
                const Ascii kind = asciiClasses[u];
                if (kind == Ascii::Other) {
                    break;
                }
                if (kind == Ascii::Upper) {
                    anyCapital = true;
                    innerCapital = innerCapital || letterSeen;
                    letterSeen = true;
                } else if (kind == Ascii::Lower) {
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
