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

// One entry per UTF-16 code unit: true where the character becomes a blank.
using BlankTable = std::array<bool, 65536>;

std::unique_ptr<BlankTable> buildTable() {
    auto table = std::make_unique<BlankTable>();
    table->fill(false);
    for (int code = 0; code <= 255; ++code) {
        const char16_t c = windows1252Char(static_cast<unsigned char>(code));
        if (!isKept(c)) {
            (*table)[c] = true;
        }
    }
    return table;
}

} // namespace

QString CleanSpeechText(const QString& text) {
    static const std::unique_ptr<BlankTable> table = buildTable();
    QString result = text;
    const qsizetype length = result.size();
    if (length == 0) {
        return result;
    }
    char16_t* p = reinterpret_cast<char16_t*>(result.data());
    const BlankTable& blanks = *table;
    for (qsizetype i = 0; i < length; ++i) {
        if (blanks[p[i]]) {
            p[i] = u' ';
        }
    }
    return result;
}

} // namespace vt
