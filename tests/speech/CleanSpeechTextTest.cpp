#include "speech/CleanSpeechText.h"

#include "core/TextCodec.h"

#include <gtest/gtest.h>

namespace vt {
namespace {

const QString KeptPunctuation = QStringLiteral(" !,.;?");

// The characters that can belong to a word and are tested in their places below.
bool dependsOnItsPlace(QChar c) {
    return QStringLiteral("'\u2019%$\u20ac\u00a3\u00a5&@+#=").contains(c);
}

TEST(CleanSpeechText, EveryCodeOfTheCodePageIsKeptOrBlankedByTheDefinition) {
    int kept = 0;
    for (int code = 0; code <= 255; ++code) {
        const QChar c(windows1252Char(static_cast<unsigned char>(code)));
        // Standing alone, away from any word, every character that is no
        // letter, digit or kept punctuation becomes a blank.
        const QString input = QStringLiteral("x, ") + c + QStringLiteral(" ,y");
        const QString output = CleanSpeechText(input);
        const bool keep = c.isLetter() || c.isDigit() || KeptPunctuation.contains(c);
        EXPECT_EQ(output, keep ? input : QStringLiteral("x,   ,y")) << "code " << code;
        kept += output == input;
        // Between two letters only the apostrophes and the word symbols stay.
        const QString inWord = QStringLiteral("x") + c + QStringLiteral("y");
        const bool keepInWord = keep || dependsOnItsPlace(c);
        EXPECT_EQ(CleanSpeechText(inWord), keepInWord ? inWord : QStringLiteral("x y"))
            << "code " << code;
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
    // The ellipsis, the dashes and the curly quotes are in it.
    EXPECT_EQ(CleanSpeechText(QString::fromUtf8("a\u2026b\u2014c\u201cd\u201de\u2013f")),
              QStringLiteral("a b c d e f"));
}

TEST(CleanSpeechText, ApostrophesInsideWordsStayAndQuotesGo) {
    const QString words = QString::fromUtf8("don't it\u2019s children's we\u2019re parents' "
                                            "Charles' O'Brien 1990's l'\u00e9cole");
    EXPECT_EQ(CleanSpeechText(words), words);
    EXPECT_EQ(CleanSpeechText(QString::fromUtf8("'quoted' \u2018single\u2019 ' alone 'n' x'")),
              QString::fromUtf8(" quoted   single    alone  n  x "));
}

TEST(CleanSpeechText, SymbolsThatBelongToAWordStayAndDecorationGoes) {
    const QString words = QString::fromUtf8(
        "10% $5.99 \u20ac3 \u00a34 \u00a55 AT&T C++ #1 a@b.com x=y 10 % 5 \u20ac Tom & Jerry "
        "2 + 2 = 4 Q&A");
    EXPECT_EQ(CleanSpeechText(words), words);
    // Alone, or a run of them apart from any word, they are decoration; the
    // other decorative characters always are: only the letters stay.
    const QString decorated = QString::fromUtf8("Home | News \u00bb Sport ++ ==== # * \u2022 "
                                                "\u00a9 \u00ae \u2122 ~ ^ _ < > [x] {y} \\ &");
    QString lettersOnly = decorated;
    for (QChar& c : lettersOnly) {
        c = c.isLetter() ? c : QChar(u' ');
    }
    EXPECT_EQ(CleanSpeechText(decorated), lettersOnly);
}

TEST(CleanSpeechText, TypicalTextKeepsItsLengthAndWords) {
    const QString input = QString::fromUtf8(
        "It's 10:30 - isn't it?\r\n\tCaf\u00e9 \"Z\u00fcrich\" (ok); 5\u00d73\u00f72 \u00a7 yes!");
    const QString output = CleanSpeechText(input);
    EXPECT_EQ(output, QString::fromUtf8(
                          "It's 10 30   isn't it?   Caf\u00e9  Z\u00fcrich   ok ; 5 3 2   yes!"));
    EXPECT_EQ(output.size(), input.size());
    EXPECT_EQ(CleanSpeechText(QString()), QString());
}

} // namespace
} // namespace vt
