#include "core/Failure.h"
#include "core/files/FileUtils.h"
#include "core/TextCodec.h"
#include "support/RecordingDialogs.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using vt::test::RecordingDialogs;
using Kind = RecordingDialogs::Kind;

namespace {

QStringList reportSteps(const RecordingDialogs& dialogs) {
    QStringList steps;
    for (const QString& text : dialogs.textsOf(Kind::ErrorReport)) {
        const qsizetype at = text.indexOf("at line ");
        steps << text.mid(at + 8, text.indexOf('\r', at) - at - 8);
    }
    return steps;
}

} // namespace

TEST(ReadFileToStringFSO, MissingFileReportsEachFailingStepAndGivesOneEmptyChunk) {
    RecordingDialogs dialogs;
    const QStringList chunks = vt::ReadFileToStringFSO("/nonexistent/none.txt", dialogs);
    EXPECT_EQ(chunks, QStringList{QString()});
    EXPECT_EQ(reportSteps(dialogs), QStringList({"102", "104", "108", "122"}));
    for (const QString& text : dialogs.textsOf(Kind::ErrorReport)) {
        EXPECT_TRUE(text.contains("in Tonevale2021/08/31.Main.ReadFileToStringFSO at line"));
    }
}

TEST(ReadFileToStringFSO, ChunksAreConsecutive65536CharacterPieces) {
    QTemporaryDir dir;
    RecordingDialogs dialogs;
    const QString empty = dir.filePath("empty.txt");
    vt::test::writeAll(empty, "");
    EXPECT_EQ(vt::ReadFileToStringFSO(empty, dialogs), QStringList{QString()});

    const QString exact = dir.filePath("exact.txt");
    vt::test::writeAll(exact, QByteArray(65536, 'a'));
    EXPECT_EQ(vt::ReadFileToStringFSO(exact, dialogs).size(), 1);

    const QString longer = dir.filePath("longer.txt");
    vt::test::writeAll(longer, QByteArray(65536, 'a') + "b");
    const QStringList chunks = vt::ReadFileToStringFSO(longer, dialogs);
    ASSERT_EQ(chunks.size(), 2);
    EXPECT_EQ(chunks[0].size(), 65536);
    EXPECT_EQ(chunks[1], "b");
    EXPECT_EQ(dialogs.count(Kind::ErrorReport), 0);
}

TEST(TextFiles, SaveThenLoadKeepsEveryCharacter) {
    QTemporaryDir dir;
    RecordingDialogs dialogs;
    const QString path = dir.filePath("round.txt");
    const QStringList texts = {
        QString::fromUtf8("Caf\u00e9 \u20ac5 \u2014 na\u00efve\r\nline two\n"), // fits windows-1252
        QString::fromUtf8("\u65e5\u672c\u8a9e and caf\u00e9"),                  // does not
        QString::fromUtf8("\u00c3\u00a9"), // windows-1252 bytes C3 A9 would read back as UTF-8
        QString(),
    };
    for (const QString& text : texts) {
        vt::WriteTextToFile(text, path);
        EXPECT_EQ(vt::ReadFileToStringFSO(path, dialogs).join(QString()), text);
    }
    vt::WriteTextToFile(texts[0], path);
    EXPECT_EQ(QFileInfo(path).size(), texts[0].size()) << "one byte per character in windows-1252";
    EXPECT_EQ(dialogs.count(Kind::ErrorReport), 0);
}

TEST(TextFiles, Windows1252FileAndUtf8FileWithBomBothLoad) {
    EXPECT_EQ(vt::decodeTextFile("caf\xe9 \x80"), QString::fromUtf8("caf\u00e9 \u20ac"));
    EXPECT_EQ(vt::decodeTextFile("\xef\xbb\xbf"
                                 "caf\xc3\xa9"),
              QString::fromUtf8("caf\u00e9"));
    EXPECT_FALSE(vt::isValidUtf8("\xc3"));
    EXPECT_FALSE(vt::isValidUtf8("\xed\xa0\x80")); // a surrogate
    EXPECT_FALSE(vt::isValidUtf8("\xc0\xaf"));     // overlong
    EXPECT_TRUE(vt::isValidUtf8("\xf0\x9f\x98\x80"));
}

TEST(TextFiles, WriteReplacesALongerFileAndFailsForAMissingFolder) {
    QTemporaryDir dir;
    const QString path = dir.filePath("out.txt");
    vt::test::writeAll(path, "a much longer earlier content");
    vt::WriteTextToFile("abc", path);
    EXPECT_EQ(vt::test::readAll(path), QByteArray("abc"));
    EXPECT_THROW(vt::WriteTextToFile("abc", dir.filePath("missing/out.txt")), vt::Failure);
}

TEST(TextFiles, WriteBytesNeverReplacesAnExistingFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("bytes.bin");
    vt::WriteBytesToFile(QByteArray("\x00\x01\x02", 3), path);
    EXPECT_EQ(vt::test::readAll(path), QByteArray("\x00\x01\x02", 3));
    vt::WriteBytesToFile("other", path);
    EXPECT_EQ(vt::test::readAll(path).size(), 3);
}

TEST(QuietHelpers, NeverFailAndAnswerSensibly) {
    QTemporaryDir dir;
    EXPECT_FALSE(vt::FileExists(""));
    EXPECT_FALSE(vt::FileExists(dir.filePath("none")));
    EXPECT_FALSE(vt::FolderExists(""));
    EXPECT_TRUE(vt::FolderExists(dir.path()));
    const QString file = dir.filePath("f.txt");
    vt::test::writeAll(file, "x");
    EXPECT_TRUE(vt::FileExists(file));
    EXPECT_FALSE(vt::FolderExists(file));
    vt::DeleteFileQuiet(file);
    vt::DeleteFileQuiet(file);
    vt::DeleteFileQuiet("");
    EXPECT_FALSE(vt::FileExists(file));
}

TEST(StripExtension, CutsAtTheLastDotUnlessItIsTheFirstCharacter) {
    EXPECT_EQ(vt::StripExtension("/out/output001.txt"), "/out/output001");
    EXPECT_EQ(vt::StripExtension(".profile"), ".profile");
    EXPECT_EQ(vt::StripExtension("/my.dir/output"), "/my");
    EXPECT_EQ(vt::StripExtension(""), "");
    EXPECT_EQ(vt::StripExtension("noext"), "noext");
}

TEST(SplitByLength, PieceCountRoundsHalfToEvenAndConsumesTheText) {
    auto sizes = [](QString text, qsizetype size) {
        QList<qsizetype> result;
        for (const QString& piece : vt::SplitByLength(text, size)) {
            result << piece.size();
        }
        EXPECT_TRUE(text.isEmpty());
        return result;
    };
    EXPECT_EQ(sizes("", 10), QList<qsizetype>({0}));
    EXPECT_EQ(sizes(QString(5, 'x'), 10), QList<qsizetype>({5, 0}));
    EXPECT_EQ(sizes(QString(15, 'x'), 10), QList<qsizetype>({10, 5}));
    EXPECT_EQ(sizes(QString(25, 'x'), 10), QList<qsizetype>({10, 10, 5, 0}));
    EXPECT_EQ(sizes(QString(250000, 'x'), 100000), QList<qsizetype>({100000, 100000, 50000, 0}));
    EXPECT_EQ(sizes(QString(150000, 'x'), 100000), QList<qsizetype>({100000, 50000}));
    QString text = "abc";
    EXPECT_THROW(vt::SplitByLength(text, 0), vt::Failure);

    QString joined = "0123456789abcdefghij";
    EXPECT_EQ(vt::SplitByLength(joined, 7).join(QString()), "0123456789abcdefghij");
}

TEST(DesktopFolder, EndsWithOneSeparator) {
    const QString desktop = vt::GetDesktopFolder();
    EXPECT_TRUE(desktop.endsWith(QDir::separator()));
    EXPECT_FALSE(desktop.endsWith(QString(QDir::separator()) + QDir::separator()));
    EXPECT_TRUE(desktop.startsWith(QDir::toNativeSeparators(vt::test::sandboxFolder())));
    EXPECT_EQ(vt::withTrailingSeparator("/"), "/");
}
