#include "export/CutTextFileFSO.h"

#include "core/ProcedureTags.h"
#include "speech/CleanSpeechText.h"
#include "speech/SpeechCase.h"
#include "support/RecordingDialogs.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>
#include <random>

namespace vt {
namespace {

using test::RecordingDialogs;

class CutTextFileFSOTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString input() const { return m_dir.filePath("output.txt"); }
    QString part(const QString& index) const { return m_dir.filePath("output" + index + ".txt"); }
    QString partText(const QString& index) const {
        return QString::fromUtf8(test::readAll(part(index)));
    }
    QStringList partFiles() const {
        return QDir(m_dir.path()).entryList({"output?*.txt"}, QDir::Files, QDir::Name);
    }
    int cut(const QByteArray& text, int rate) {
        test::writeAll(input(), text);
        return CutTextFileFSO(input(), rate, m_dialogs);
    }
    static QByteArray lines(int count, const QByteArray& line = "a") {
        QByteArray text;
        for (int i = 0; i < count; ++i) {
            text += line + '\n';
        }
        return text;
    }

    QTemporaryDir m_dir;
    RecordingDialogs m_dialogs;
};

TEST_F(CutTextFileFSOTest, EmptyInputGivesOneEmptyPartAndIsDeleted) {
    EXPECT_EQ(cut("", 0), 1);
    EXPECT_EQ(partFiles(), QStringList{"output001.txt"});
    EXPECT_TRUE(QFile::exists(part("001")));
    EXPECT_EQ(partText("001"), "");
    EXPECT_FALSE(QFile::exists(input()));
    EXPECT_TRUE(m_dialogs.entries().isEmpty());
}

TEST_F(CutTextFileFSOTest, LinesKeepTheirEndsAndAreCleanedAndLowerCased) {
    EXPECT_EQ(cut("Hello\nWorld\n", 0), 1);
    EXPECT_EQ(partText("001"), "hello\nworld\n");
    // An empty line stays, so a paragraph keeps its pause.
    EXPECT_EQ(cut("Garden news\n\nApple river\n", 0), 1);
    EXPECT_EQ(partText("001"), "garden news\n\napple river\n");

    EXPECT_EQ(cut("ab&#xa0;cd\r\nAb&#Xa0;Cd", 3), 1);
    // Only the exact entity goes; lower-casing comes after its removal.
    EXPECT_EQ(partText("001"), "abcd\nab&#xa0;cd\n");

    // Letters of any script are lower-cased and kept, accented ones too.
    EXPECT_EQ(cut("Hello \xce\x91\xce\xbb\xce\xb3 World", 0), 1);
    EXPECT_EQ(partText("001"), "hello \u03b1\u03bb\u03b3 world\n");
    EXPECT_EQ(cut("Caf\xc3\xa9 \xe2\x80\x94 100%\nM\xc3\xa4"
                  "dchen",
                  0),
              1);
    EXPECT_EQ(partText("001"), "caf\u00e9   100%\nm\u00e4dchen\n");
    EXPECT_TRUE(m_dialogs.entries().isEmpty());
}

TEST_F(CutTextFileFSOTest, ASentenceEndInsideALineStaysOneForTheEngine) {
    // Lower-cased, ". the" reads as an abbreviation; the line feed keeps the
    // end. A full stop before a word that was lower-case already, or before a
    // digit, stays as it was.
    EXPECT_EQ(cut("The cat sat. The dog ran.  \"Stop.\" She left. e.g. this. 12 more.\n", 0), 1);
    EXPECT_EQ(partText("001"),
              "the cat sat.\nthe dog ran.\n  stop.\n she left. e.g. this. 12 more.\n");
}

TEST_F(CutTextFileFSOTest, WordsWhoseCapitalsArePronouncedKeepTheirCase) {
    // Acronyms and inner capitals keep their case, every other word is
    // lower-cased: the engine spells "US" and "ATF" but reads "us".
    EXPECT_EQ(cut("The US and IT staff of WHO met the ATF. An iPhone at McDonald's, "
                  "O'Brien's JavaScript on YouTube. I AM HERE \xc3\x89"
                  "COLE \xc3\x89"
                  "cole A B\n",
                  0),
              1);
    EXPECT_EQ(partText("001"),
              "the US and IT staff of WHO met the ATF.\nan iPhone at McDonald's, "
              "O'Brien's JavaScript on YouTube.\ni AM HERE \u00c9COLE \u00e9cole a "
              "b\n");
    // Letters outside the basic plane: the Deseret capital is lower-cased.
    EXPECT_EQ(cut("\xf0\x90\x90\x80\xf0\x90\x90\xa8 x\n", 0), 1);
    EXPECT_EQ(partText("001"), "\U00010428\U00010428 x\n");
}

TEST_F(CutTextFileFSOTest, ASentenceEndsBeforeACapitalOfAnyScript) {
    EXPECT_EQ(cut("C'est l'\xc3\xa9"
                  "cole. \xc3\x87"
                  "a va. \xc3\x89t\xc3\xa9 fini. \xd0\x9f\xd1\x80\xd0\xb8. "
                  "\xf0\x90\x90\x80x. a\n",
                  0),
              1);
    EXPECT_EQ(partText("001"), "c'est l'\u00e9cole.\n\u00e7a va.\n\u00e9t\u00e9 fini.\n"
                               "\u043f\u0440\u0438.\n\U00010428x. a\n");
}

TEST_F(CutTextFileFSOTest, AtRateZeroAPartHoldsAtMost1299Lines) {
    EXPECT_EQ(cut(lines(1298), 0), 1);
    EXPECT_EQ(partText("001"), QString::fromLatin1(lines(1298)));

    EXPECT_EQ(cut(lines(1299), 0), 2);
    EXPECT_EQ(partText("001"), QString::fromLatin1(lines(1299)));
    EXPECT_EQ(partText("002"), ""); // made as soon as the first was full

    EXPECT_EQ(cut(lines(1300), 0), 2);
    EXPECT_EQ(partText("002"), "a\n");
    EXPECT_EQ(cut(lines(1299), 10), 2); // fast rates keep the limits of rate 0
}

TEST_F(CutTextFileFSOTest, SlowRatesMakeSmallerParts) {
    EXPECT_EQ(cut(lines(120), -10), 3);
    EXPECT_EQ(partText("001").count(u'a'), 49);
    EXPECT_EQ(partText("002").count(u'a'), 49);
    EXPECT_EQ(partText("003").count(u'a'), 22);

    // Rate -3: 924 lines per part.
    EXPECT_EQ(cut(lines(924), -3), 2);
    EXPECT_EQ(partText("001").count(u'\n'), 924);
    EXPECT_EQ(cut(lines(923), -3), 1);
}

TEST_F(CutTextFileFSOTest, APartIsCutAfterTheLineThatReachedTheSizeLimit) {
    // 600,000 characters go whole into one part; the next part is made empty.
    EXPECT_EQ(cut(QByteArray(600000, 'x'), 0), 2);
    EXPECT_EQ(partText("001").size(), 600001);
    EXPECT_EQ(partText("002"), "");

    // 512,000 characters is the limit at rate 0: 511,999 stay below it. The
    // line feeds do not count.
    EXPECT_EQ(cut(QByteArray(511999, 'x') + "\nyy\n", 0), 2);
    EXPECT_EQ(partText("001").size(), 512001 + 2);
    EXPECT_EQ(partText("002"), "");
    EXPECT_EQ(cut(QByteArray(511999, 'x') + "\ny\nz\n", 0), 2);
    EXPECT_EQ(partText("001").size(), 512000 + 2);
    EXPECT_EQ(partText("002"), "z\n");

    // Rate -10: 51,200 characters.
    EXPECT_EQ(cut(lines(3, QByteArray(30000, 'x')), -10), 2);
    EXPECT_EQ(partText("001").size(), 60000 + 2);
    EXPECT_EQ(partText("002").size(), 30000 + 1);
}

TEST_F(CutTextFileFSOTest, TheThousandthPartHasFourDigits) {
    // 999 full parts of 49 lines at rate -10, then one more line.
    EXPECT_EQ(cut(lines(999 * 49 + 1), -10), 1000);
    const QStringList files = partFiles();
    EXPECT_EQ(files.size(), 1000);
    EXPECT_TRUE(files.contains("output999.txt"));
    EXPECT_TRUE(files.contains("output1000.txt"));
    EXPECT_EQ(partText("1000"), "a\n");
    EXPECT_EQ(partText("999"), QString::fromLatin1(lines(49)));
}

TEST_F(CutTextFileFSOTest, PartsAreNamedAfterTheInputWithoutItsExtension) {
    const QString named = m_dir.filePath("page.text.txt");
    test::writeAll(named, "one\n");
    EXPECT_EQ(CutTextFileFSO(named, 0, m_dialogs), 1);
    EXPECT_EQ(test::readAll(m_dir.filePath("page.text001.txt")), "one\n");
    EXPECT_FALSE(QFile::exists(named));
}

TEST_F(CutTextFileFSOTest, AnInputThatCannotBeOpenedIsReportedOnce) {
    EXPECT_EQ(CutTextFileFSO(m_dir.filePath("missing.txt"), 0, m_dialogs), 0);
    const QStringList reports = m_dialogs.textsOf(RecordingDialogs::Kind::ErrorReport);
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].contains(QString::fromLatin1(tag::CutTextFileFSO) + "at line 120\r\r"));
    EXPECT_TRUE(partFiles().isEmpty());
}

TEST_F(CutTextFileFSOTest, AnExistingPartFileIsOverwritten) {
    test::writeAll(part("001"), "stale text from before");
    EXPECT_EQ(cut("new\n", 0), 1);
    EXPECT_EQ(partText("001"), "new\n");
}

// Each line as the plain steps make it, one after the other on a copy: the
// entity removed, ordinary words lower-cased, cleaned, and a line feed after a
// full stop whose next non-blank character was an upper-case letter.
QString stepByStep(const QByteArray& file) {
    QByteArray bytes = file;
    QTextStream in(&bytes);
    in.setEncoding(QStringConverter::Utf8);
    QString result;
    while (!in.atEnd()) {
        QString original = in.readLine().remove(QStringLiteral("&#xa0;"));
        QString line = original;
        lowerOrdinaryWords(line);
        line = CleanSpeechText(line);
        for (qsizetype dot = 0; dot + 1 < line.size(); ++dot) {
            if (line[dot] != u'.' || line[dot + 1] != u' ') {
                continue;
            }
            qsizetype next = dot + 1;
            while (next < line.size() && line[next] == u' ') {
                ++next;
            }
            if (next < line.size() &&
                QChar::isUpper(QStringView(original).mid(next).toUcs4().value(0))) {
                line[dot + 1] = u'\n';
            }
        }
        result += line + u'\n';
    }
    return result;
}

// Random lines of the characters whose handling differs: letters whose
// lower-case form changes their class or length, marks, surrogates, word
// symbols, apostrophes, entities cut in two, invalid UTF-8, bare CRs.
QByteArray randomLines(std::mt19937& random, int count, int longest) {
    static const char* const pieces[] = {"a",
                                         "Z",
                                         "s",
                                         "S",
                                         "x",
                                         "Q",
                                         "7",
                                         "0",
                                         " ",
                                         " ",
                                         "  ",
                                         ".",
                                         ". ",
                                         ",",
                                         "!",
                                         "?",
                                         ";",
                                         "'",
                                         "\xe2\x80\x99",
                                         "\xe2\x80\x98",
                                         "\"",
                                         "-",
                                         ":",
                                         "%",
                                         "$",
                                         "&",
                                         "@",
                                         "+",
                                         "#",
                                         "=",
                                         "&#xa0;",
                                         "&#xa",
                                         "0;",
                                         "&#Xa0;",
                                         "\xe2\x82\xac",
                                         "\xc2\xa3",
                                         "\xc2\xa5",
                                         "|",
                                         "*",
                                         "_",
                                         "~",
                                         "^",
                                         "<",
                                         ">",
                                         "[",
                                         "]",
                                         "{",
                                         "}",
                                         "\\",
                                         "(",
                                         ")",
                                         "/",
                                         "\xc2\xa0",
                                         "\xe2\x80\xaf",
                                         "\xe2\x80\x89",
                                         "\xc2\xb2",
                                         "\xc2\xbd",
                                         "\xc2\xaa",
                                         "\xc2\xb5",
                                         "\xc3\xa9",
                                         "\xc3\x89",
                                         "\xc3\x9f",
                                         "\xe1\xba\x9e",
                                         "\xc3\xbf",
                                         "\xc5\xb8",
                                         "\xc5\xa0",
                                         "\xc4\xb0",
                                         "\xe2\x84\xaa",
                                         "\xe2\x84\xa6",
                                         "\xe2\x85\xa0",
                                         "\xe2\x85\xb0",
                                         "\xe2\x92\xb6",
                                         "\xc7\x85",
                                         "\xcc\x81",
                                         "\xcd\x85",
                                         "\xce\xa3",
                                         "\xcf\x82",
                                         "\xd0\x94",
                                         "\xd0\xb4",
                                         "\xe4\xb8\xad",
                                         "\xf0\x90\x90\x80",
                                         "\xf0\x90\x90\xa8",
                                         "\xf0\x9f\x98\x80",
                                         "\xe2\x80\xa2",
                                         "\xc2\xab",
                                         "\xc2\xbb",
                                         "\xe2\x80\x94",
                                         "\xe2\x80\xa6",
                                         "\xc2\xa9",
                                         "\xe2\x84\xa2",
                                         "\xff",
                                         "\xc3",
                                         "\xe2\x80",
                                         "\r",
                                         "\r",
                                         "\t",
                                         "\x01",
                                         "\x7f",
                                         "\xc2\x80",
                                         "\xc2\x9f"};
    std::uniform_int_distribution<std::size_t> piece(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> length(0, longest);
    QByteArray text;
    for (int line = 0; line < count; ++line) {
        for (int n = length(random); n > 0; --n) {
            text += pieces[piece(random)];
        }
        text += random() % 4 == 0 ? "\r\n" : "\n";
    }
    return text;
}

TEST_F(CutTextFileFSOTest, EveryLineIsWhatCasingThenCleaningMakeOfIt) {
    std::mt19937 random(18);
    QList<QByteArray> inputs;
    for (int round = 0; round < 40; ++round) {
        inputs << randomLines(random, 200, 40);
    }
    // A last line without its line feed, a byte order mark, lines longer than
    // any read buffer, one invalid sequence cut across them.
    inputs << randomLines(random, 20, 40) + "Tail. End";
    inputs << "\xef\xbb\xbf" + randomLines(random, 20, 40);
    inputs << randomLines(random, 3, 9000) + QByteArray(70000, 'A') + "\xe2\x80" +
                  randomLines(random, 3, 9000);
    for (const QByteArray& text : inputs) {
        ASSERT_EQ(cut(text, 0), 1);
        ASSERT_EQ(partText("001"), stepByStep(text));
    }
    EXPECT_TRUE(m_dialogs.entries().isEmpty());
}

} // namespace
} // namespace vt
