#include "speech/CleanSpeechText.h"

#include "core/TextCodec.h"

#include <gtest/gtest.h>

namespace vt {
namespace {

const QString KeptCharacters =
    QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz !,.;?");

TEST(CleanSpeechText, EveryCodeOfTheCodePageIsKeptOrBlankedByTheDefinition) {
    int blanked = 0;
    for (int code = 0; code <= 255; ++code) {
        const QChar c(windows1252Char(static_cast<unsigned char>(code)));
        const QString input = QStringLiteral("x") + c + QStringLiteral("y");
        const QString output = CleanSpeechText(input);
        const QString expected = KeptCharacters.contains(c) ? input : QStringLiteral("x y");
        EXPECT_EQ(output, expected) << "code " << code;
        blanked += output != input;
    }
    // 256 codes, 68 kept; the blank itself is kept.
    EXPECT_EQ(blanked, 256 - KeptCharacters.size());
}

TEST(CleanSpeechText, CharactersOutsideTheCodePageStay) {
    // U+0085 is not in windows-1252 (code 0x85 is the ellipsis), U+0100 and
    // the CJK and emoji characters are not either.
    const QString outside = QString::fromUtf8("\u0085\u0100\u4e2d\U0001F600\u2603");
    EXPECT_EQ(CleanSpeechText(outside), outside);
    // The ellipsis, the euro sign and the curly quotes are in it.
    EXPECT_EQ(CleanSpeechText(QString::fromUtf8("a\u2026b\u20acc\u201cd\u201de")),
              QStringLiteral("a b c d e"));
}

TEST(CleanSpeechText, TypicalTextKeepsItsLengthAndWords) {
    const QString input =
        QString::fromUtf8("It's 10:30 - isn't it?\r\n\tCaf\u00e9 \"Z\u00fcrich\" (ok); yes!");
    const QString output = CleanSpeechText(input);
    EXPECT_EQ(output, QStringLiteral("It s 10 30   isn t it?   Caf   Z rich   ok ; yes!"));
    EXPECT_EQ(output.size(), input.size());
    EXPECT_EQ(CleanSpeechText(KeptCharacters), KeptCharacters);
    EXPECT_EQ(CleanSpeechText(QString()), QString());
}

} // namespace
} // namespace vt
