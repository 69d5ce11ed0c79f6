#include "CleanSpeechText.h"

#include "core/TextCodec.h"

#include <array>
#include <memory>

namespace vt {

namespace {

// Letters and digits are the words themselves: blanking an accented letter
// would break "café" into "caf" and a blank.
bool isKept(char16_t c) {
    const QChar character(c);
    return character.isLetter() || character.isDigit() || c == u' ' || c == u'!' || c == u',' ||
           c == u'.' || c == u';' || c == u'?';
}

bool isApostrophe(char16_t c) {
    return c == u'\'' || c == u'\u2019';
}

// Symbols the engine reads as a word where they belong to one: 10%, $5, €3,
// AT&T, C++, #1, a@b.
bool isWordSymbol(char16_t c) {
    switch (c) {
    case u'%':
    case u'$':
    case u'\u20ac':
    case u'\u00a3':
    case u'\u00a5':
    case u'&':
    case u'@':
    case u'+':
    case u'#':
    case u'=':
        return true;
    default:
        return false;
    }
}

// A hyphen between two letters joins one word ("Wi-Fi", "Jean-Pierre"), a
// colon between two digits one number ("10:30"); the engine reads them so.
bool isJoiner(char16_t c) {
    return c == u'-' || c == u':';
}

// What becomes of a character of the code page.
enum class Fate : unsigned char { Stays, Blank, Apostrophe, WordSymbol, Joiner };

using FateTable = std::array<Fate, 65536>;

std::unique_ptr<FateTable> buildTable() {
    auto table = std::make_unique<FateTable>();
    table->fill(Fate::Stays);
    for (int code = 0; code <= 255; ++code) {
        const char16_t c = windows1252Char(static_cast<unsigned char>(code));
        if (isApostrophe(c)) {
            (*table)[c] = Fate::Apostrophe;
        } else if (isWordSymbol(c)) {
            (*table)[c] = Fate::WordSymbol;
        } else if (isJoiner(c)) {
            (*table)[c] = Fate::Joiner;
        } else if (!isKept(c)) {
            (*table)[c] = Fate::Blank;
        }
    }
    return table;
}

// A letter, a digit or a mark, of any script; a surrogate counts as a letter
// (the code page has none, so it is always part of the text).
bool isWordCharacter(char16_t c) {
    if (c < 0x80) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
    }
    const QChar character(c);
    return character.isLetterOrNumber() || character.isMark() || character.isSurrogate();
}

bool isLetterOrMark(char16_t c) {
    if (c < 0x80) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    }
    const QChar character(c);
    return character.isLetter() || character.isMark() || character.isSurrogate();
}

// A blank between a word and a symbol that still belongs to it ("10 %", "5 €",
// "Tom & Jerry").
bool isSpacing(char16_t c) {
    return c == u' ' || c == u'\u00a0' || c == u'\u202f' || c == u'\u2009';
}

// Reads the original text and blanks characters in a copy of it, so every
// decision sees the original neighbours.
class Cleaner {
  public:
    Cleaner(const FateTable& fates, const char16_t* text, char16_t* out, qsizetype length)
        : m_fates(fates), m_text(text), m_out(out), m_length(length) {}

    void run() {
        for (qsizetype i = 0; i < m_length; ++i) {
            const Fate fate = m_fates[m_text[i]];
            if (fate == Fate::Stays) [[likely]] {
                continue;
            }
            switch (fate) {
            case Fate::Stays:
                break;
            case Fate::Blank:
                m_out[i] = u' ';
                break;
            case Fate::Apostrophe:
                if (!apostropheInWord(i)) {
                    m_out[i] = u' ';
                }
                break;
            case Fate::Joiner:
                if (!joinsWord(i)) {
                    m_out[i] = u' ';
                }
                break;
            case Fate::WordSymbol: {
                const qsizetype end = symbolRunEnd(i);
                if (!symbolRunInWord(i, end)) {
                    for (qsizetype k = i; k < end; ++k) {
                        m_out[k] = u' ';
                    }
                }
                i = end - 1;
                break;
            }
            }
        }
    }

  private:
    char16_t at(qsizetype i) const { return i >= 0 && i < m_length ? m_text[i] : u'\0'; }

    // Between a letter (or digit: "1990's") and a letter, or after an s that
    // ends a word ("parents'").
    bool apostropheInWord(qsizetype i) const {
        const char16_t before = at(i - 1);
        const char16_t after = at(i + 1);
        if (!isWordCharacter(before)) {
            return false;
        }
        if (isLetterOrMark(after)) {
            return true;
        }
        return (before == u's' || before == u'S') && isLetterOrMark(at(i - 2)) &&
               !isWordCharacter(after);
    }

    bool joinsWord(qsizetype i) const {
        const char16_t before = at(i - 1);
        const char16_t after = at(i + 1);
        if (m_text[i] == u':') {
            return before >= u'0' && before <= u'9' && after >= u'0' && after <= u'9';
        }
        return isLetterOrMark(before) && isLetterOrMark(after);
    }

    qsizetype symbolRunEnd(qsizetype i) const {
        while (i < m_length && m_fates[m_text[i]] == Fate::WordSymbol) {
            ++i;
        }
        return i;
    }

    // A run of symbols is part of a word when it touches one ("C++", "#1");
    // a single symbol also when one blank parts it from a word ("10 %").
    bool symbolRunInWord(qsizetype from, qsizetype end) const {
        if (isWordCharacter(at(from - 1)) || isWordCharacter(at(end))) {
            return true;
        }
        if (end - from != 1) {
            return false;
        }
        return (isSpacing(at(from - 1)) && isWordCharacter(at(from - 2))) ||
               (isSpacing(at(end)) && isWordCharacter(at(end + 1)));
    }

    const FateTable& m_fates;
    const char16_t* m_text;
    char16_t* m_out;
    qsizetype m_length;
};

} // namespace

QString CleanSpeechText(const QString& text) {
    QString result = text;
    if (!result.isEmpty()) {
        cleanSpeechText(reinterpret_cast<const char16_t*>(text.constData()),
                        reinterpret_cast<char16_t*>(result.data()), text.size());
    }
    return result;
}

void cleanSpeechText(const char16_t* text, char16_t* out, qsizetype length) {
    static const std::unique_ptr<FateTable> table = buildTable();
    Cleaner(*table, text, out, length).run();
}

} // namespace vt
