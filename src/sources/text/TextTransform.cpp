#include "sources/text/TextTransform.h"

#include <QLocale>
#include <QString>
#include <optional>
#include <string>

namespace vt {

namespace {

bool isWordPart(char32_t c) {
    const QChar::Category category = QChar::category(c);
    return QChar::isLetterOrNumber(c) || category == QChar::Mark_NonSpacing ||
           category == QChar::Mark_SpacingCombining || category == QChar::Mark_Enclosing;
}

// An apostrophe inside a word does not start a new one ("don't").
bool isApostrophe(char32_t c) {
    return c == U'\'' || c == U'\u2019';
}

// The first letter of a word: its title case, by full mapping where the
// simple one leaves it unchanged ("ß" becomes "Ss").
QString titleCased(char32_t c) {
    const char32_t title = QChar::toTitleCase(c);
    const QString single = QString::fromUcs4(&c, 1);
    if (title != c) {
        return QString::fromUcs4(&title, 1);
    }
    const QString upper = single.toUpper();
    if (upper.size() > 1 && upper != single) {
        return upper.left(1) + upper.mid(1).toLower();
    }
    return upper;
}

QString capitalized(const QString& text, bool& inWord) {
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size();) {
        char32_t c = text[i].unicode();
        qsizetype length = 1;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            length = 2;
        }
        if (QChar::isLetter(c) && !inWord) {
            out += titleCased(c);
        } else {
            out += text.mid(i, length);
        }
        if (isWordPart(c)) {
            inWord = true;
        } else if (!isApostrophe(c)) {
            inWord = false;
        }
        i += length;
    }
    return out;
}

// The language's own case rules, when it has some; the primary subtag of a
// lang value decides ("tr", "az-Latn", "EL").
std::optional<QLocale> caseLocale(std::string_view language) {
    const std::size_t dash = language.find_first_of("-_");
    std::string primary(language.substr(0, dash));
    for (char& c : primary) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    if (primary == "tr") {
        return QLocale(QLocale::Turkish);
    }
    if (primary == "az") {
        return QLocale(QLocale::Azerbaijani);
    }
    if (primary == "lt") {
        return QLocale(QLocale::Lithuanian);
    }
    if (primary == "el") {
        return QLocale(QLocale::Greek);
    }
    return std::nullopt;
}

} // namespace

bool continuesWord(unsigned char b) {
    return (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b >= 0x80;
}

std::string transformText(std::string_view utf8, TextTransform transform, bool& inWord,
                          std::string_view language) {
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    QString result;
    switch (transform) {
    case TextTransform::None:
        return std::string(utf8);
    case TextTransform::Uppercase:
        if (const auto locale = language.empty() ? std::nullopt : caseLocale(language)) {
            result = locale->toUpper(text);
            if (locale->language() == QLocale::Greek) {
                // An accent that stays (disjunctive eta) stays composed.
                result = result.normalized(QString::NormalizationForm_C);
            }
        } else {
            result = text.toUpper();
        }
        break;
    case TextTransform::Lowercase:
        if (const auto locale = language.empty() ? std::nullopt : caseLocale(language)) {
            result = locale->toLower(text);
        } else {
            result = text.toLower();
        }
        break;
    case TextTransform::Capitalize:
        result = capitalized(text, inWord);
        return result.toStdString();
    }
    if (!utf8.empty()) {
        inWord = continuesWord(static_cast<unsigned char>(utf8.back()));
    }
    return result.toStdString();
}

} // namespace vt
