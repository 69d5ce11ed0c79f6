#include "speech/CleanSpeechText.h"

#include "core/TextCodec.h"

#include <gtest/gtest.h>

namespace vt {
namespace {

const QString KeptPunctuation = QStringLiteral(" !,.;?");

TEST(CleanSpeechText, EveryCodeOfTheCodePageIsKeptOrBlankedByTheDefinition) {
    int kept = 0;
    for (int code = 0; code <= 255; ++code) {
        const QChar c(windows1252Char(static_cast<unsigned char>(code)));
        const QString input = QStringLiteral("x") + c + QStringLiteral("y");
        const QString output = CleanSpeechText(input);
        const bool keep = c.isLetter() || c.isDigit() || KeptPunctuation.contains(c);
        EXPECT_EQ(output, keep ? input : QStringLiteral("x y")) << "code " << code;
        kept += output == input;
    }
    // 10 digits, 52 ASCII letters, 6 punctuation marks and the blank, and the
    // letters of the upper half: 0x83 f, 0x88 (modifier circumflex), 0x8A S,
    // 0x8C OE, 0x8E Z, 0x9A s, 0x9C oe, 0x9E z, 0x9F Y, 0xAA, 0xB5 micro, 0xBA,
    // and 0xC0..0xFF but the multiplication and division signs.
    EXPECT_EQ(kept, 10 + 52 + 6 + 12 + 62);
}

TEST(CleanSpeechText, LettersOfEveryScriptStayAndWordsStayWhole) {
    const QString western = QString::fromUtf8("Mädchen café España œuvre Ærø naïve");
    EXPECT_EQ(CleanSpeechText(western), western);
    const QString others = QString::fromUtf8("Ελληνικά русский 中文 ٣٤ \u0100");
    EXPECT_EQ(CleanSpeechText(others), others);
    // Characters outside the code page that are no letters stay too.
    const QString outside = QString::fromUtf8("\u0085\U0001F600\u2603");
    EXPECT_EQ(CleanSpeechText(outside), outside);
    // The ellipsis, the euro sign and the curly quotes are in it.
    EXPECT_EQ(CleanSpeechText(QString::fromUtf8("a\u2026b\u20acc\u201cd\u201de")),
              QStringLiteral("a b c d e"));
}

TEST(CleanSpeechText, TypicalTextKeepsItsLengthAndWords) {
    const QString input = QString::fromUtf8(
        "It's 10:30 - isn't it?\r\n\tCaf\u00e9 \"Z\u00fcrich\" (ok); 5\u00d73\u00f72 \u00a7 yes!");
    const QString output = CleanSpeechText(input);
    EXPECT_EQ(output, QString::fromUtf8(
                          "It s 10 30   isn t it?   Caf\u00e9  Z\u00fcrich   ok ; 5 3 2   yes!"));
    EXPECT_EQ(output.size(), input.size());
    EXPECT_EQ(CleanSpeechText(QString()), QString());
}

} // namespace
} // namespace vt
