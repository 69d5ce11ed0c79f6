#include "export/OutputName.h"

#include "export/PartFiles.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace vt {
namespace {

TEST(OutputName, RemovesWhatFileNamesForbidAndNothingElse) {
    EXPECT_EQ(SanitiseAddress("a:b/c?d"), "abcd");
    EXPECT_EQ(SanitiseAddress("http://example.com/a\\b*c<d>e|f"), "httpexample.comabcdef");
    EXPECT_EQ(SanitiseAddress("x.org/?q=1&r=2 3;$(rm -rf x)`id`"),
              "x.orgq=1&r=2 3;$(rm -rf x)`id`");
    EXPECT_EQ(SanitiseAddress("say \"hi\"\tnow\r\n\x7f\u0085"), "say hinow");
    EXPECT_EQ(SanitiseAddress("Caf\u00e9 \u2014 ok"), "Caf\u00e9 \u2014 ok");
    // Controls that reorder the name on screen ("...a=<RLO>3pm.exe" shows as an .mp3).
    EXPECT_EQ(SanitiseAddress("x.org/?a=\u202e3pm.exe\u2066\u2067\u2068\u2069\u200e\u200f\u061c"
                              "\u202a\u202b\u202c\u202d"),
              "x.orga=3pm.exe");
    EXPECT_EQ(RemoveCharacter("A/a/A", '/'), "AaA");
    EXPECT_EQ(RemoveCharacter("AaA", 'a'), "AA"); // exact, case-sensitive
}

TEST(OutputName, FolderTextIsFollowedDirectlyByTheName) {
    EXPECT_EQ(FinalMp3Path("/home/u/Music/", "example.com"), "/home/u/Music/example.com.mp3");
    // Without a trailing separator the file lands beside the folder.
    EXPECT_EQ(FinalMp3Path("/home/u/Music", "example.com"), "/home/u/Musicexample.com.mp3");
}

TEST(OutputName, LongAddressesAreCutToFitTheFileSystem) {
    const QString longAddress = QString(300, u'a');
    const QString path = FinalMp3Path("/tmp/", longAddress);
    const QString name = QFileInfo(path).fileName();
    EXPECT_EQ(QFile::encodeName(name).size(), MaxMp3NameBytes);
    EXPECT_TRUE(name.endsWith(".mp3"));
    EXPECT_TRUE(path.startsWith("/tmp/aaaa"));

    // The folder's last component counts when the folder text has no separator at its end.
    const QString beside = QFileInfo(FinalMp3Path("/tmp/Music", longAddress)).fileName();
    EXPECT_EQ(QFile::encodeName(beside).size(), MaxMp3NameBytes);
    EXPECT_TRUE(beside.startsWith("Musicaaa"));

    // Multi-byte characters are never cut in half.
    const QString wide =
        QString(200, QChar(0x00e9)) + QString::fromUcs4(U"\U0001F600", 1).repeated(50);
    const QByteArray bytes = QFile::encodeName(QFileInfo(FinalMp3Path("/tmp/", wide)).fileName());
    EXPECT_LE(bytes.size(), MaxMp3NameBytes);
    EXPECT_GT(bytes.size(), MaxMp3NameBytes - 4);
    EXPECT_EQ(QString::fromUtf8(bytes).toUtf8(), bytes);
    EXPECT_FALSE(QFile::decodeName(bytes).contains(QChar::ReplacementCharacter));
}

TEST(OutputName, AVeryLongAddressIsCutInOnePass) {
    // 130,000 characters once took close to a minute: the whole name was
    // encoded again after each character cut.
    QString address;
    const QString pieces[] = {"abc/def?", QString(QChar(0x00e9)), "\"x\"",
                              QString::fromUcs4(U"\U0001F600", 1), "-"};
    for (qsizetype i = 0; address.size() < 130000; ++i) {
        address += pieces[i % 5];
    }
    const QString cleaned = SanitiseAddress(address);
    const QString path = FinalMp3Path("/tmp/out/", cleaned);
    ASSERT_TRUE(path.startsWith("/tmp/out/"));
    ASSERT_TRUE(path.endsWith(".mp3"));
    const QString kept = path.mid(9).chopped(4);
    EXPECT_TRUE(cleaned.startsWith(kept));
    const qsizetype bytes = QFile::encodeName(kept + ".mp3").size();
    EXPECT_LE(bytes, MaxMp3NameBytes);
    // Only a character that does not fit any more is left out.
    EXPECT_GT(bytes, MaxMp3NameBytes - 4);
    EXPECT_FALSE(kept.back().isHighSurrogate());
}

TEST(PartFiles, IndexHasAtLeastThreeDigits) {
    EXPECT_EQ(PartFilePath("/t/output", 1, ".txt"), "/t/output001.txt");
    EXPECT_EQ(PartFilePath("/t/output", 42, ".wav"), "/t/output042.wav");
    EXPECT_EQ(PartFilePath("/t/output", 999, ".mp3"), "/t/output999.mp3");
    EXPECT_EQ(PartFilePath("/t/output", 1000, ".txt"), "/t/output1000.txt");
    EXPECT_EQ(PartFilePath("/t/output", 12345, ".txt"), "/t/output12345.txt");
}

} // namespace
} // namespace vt
