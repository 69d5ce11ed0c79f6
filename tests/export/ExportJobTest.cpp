#include "ExportFixture.h"
#include "core/files/TempFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace vt {
namespace {

using test::RecordingDialogs;

class ExportJobTest : public test::ExportFixture {};

TEST_F(ExportJobTest, OnePartBecomesAValidMp3OfTheSpokenLength) {
    const QByteArray text = test::sentences(20, 6);
    m_server.page("/one.txt", text, "text/plain; charset=utf-8");
    const VoiceChoice voice{-1, 80, 0};

    const ExportResult result = runJob(m_server.url("/one.txt"), outFolder(), voice);

    ASSERT_TRUE(result.mp3Made) << result.message.toStdString();
    EXPECT_EQ(result.failure, ExportFailure::None);
    EXPECT_EQ(result.mp3Path, outPath(mp3NameFor("/one.txt")));
    EXPECT_EQ(shownTexts(), QStringList{"Done."});
    EXPECT_EQ(m_dialogs.count(RecordingDialogs::Kind::Notice), 1);

    const test::DecodedMp3 decoded = test::decodeMp3(result.mp3Path);
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.sampleRate, 22050);
    EXPECT_TRUE(decoded.warnings.isEmpty()) << decoded.warnings.toStdString();
    const double expected = test::spokenSeconds(text, voice, m_speech.voices);
    EXPECT_GT(expected, 10.0);
    EXPECT_NEAR(decoded.seconds, expected, expected * 0.02);
    EXPECT_EQ(QDir(m_out.path()).entryList(QDir::Files), QStringList{mp3NameFor("/one.txt")});
}

TEST_F(ExportJobTest, ManyPartsJoinIntoOneMp3AsLongAsThePartsTogether) {
    // Rate -10 cuts a part after 49 lines: 200 lines make 5 parts.
    const QByteArray text = test::sentences(200, 4);
    m_server.page("/long.txt", text, "text/plain; charset=utf-8");
    const VoiceChoice voice{-1, 50, -10};

    const ExportResult result = runJob(m_server.url("/long.txt"), outFolder(), voice);

    ASSERT_TRUE(result.mp3Made) << result.message.toStdString();
    EXPECT_EQ(shownTexts(), QStringList{"Done."});
    const test::DecodedMp3 decoded = test::decodeMp3(result.mp3Path);
    ASSERT_TRUE(decoded.ok);
    EXPECT_TRUE(decoded.warnings.isEmpty()) << decoded.warnings.toStdString();
    const double expected = test::spokenSeconds(text, voice, m_speech.voices);
    EXPECT_NEAR(decoded.seconds, expected, expected * 0.02);
    // A part lost or doubled would be far more than the 2% allowed above.
    EXPECT_GT(expected, 5 * 60.0);
}

TEST_F(ExportJobTest, AnEmptyLastPartDoesNotSpoilTheMp3) {
    // 49 lines fill the first part at rate -10; the second part is made empty.
    const QByteArray text = test::sentences(49, 3);
    m_server.page("/full.txt", text, "text/plain");
    const VoiceChoice voice{-1, 50, -10};

    const ExportResult result = runJob(m_server.url("/full.txt"), outFolder(), voice);

    ASSERT_TRUE(result.mp3Made) << result.message.toStdString();
    const test::DecodedMp3 decoded = test::decodeMp3(result.mp3Path);
    ASSERT_TRUE(decoded.ok);
    EXPECT_TRUE(decoded.warnings.isEmpty()) << decoded.warnings.toStdString();
    const double expected = test::spokenSeconds(text, voice, m_speech.voices);
    EXPECT_NEAR(decoded.seconds, expected, expected * 0.02);
}

TEST_F(ExportJobTest, AnExistingFileOfTheSameNameIsReplaced) {
    m_server.page("/again.txt", test::sentences(3, 5), "text/plain");
    const QString target = outPath(mp3NameFor("/again.txt"));
    test::writeAll(target, QByteArray(100000, 'z'));

    const ExportResult result = runJob(m_server.url("/again.txt"), outFolder());

    ASSERT_TRUE(result.mp3Made);
    EXPECT_EQ(result.mp3Path, target);
    EXPECT_FALSE(test::readAll(target).contains(QByteArray(100, 'z')));
    const test::DecodedMp3 decoded = test::decodeMp3(target);
    EXPECT_TRUE(decoded.ok);
    EXPECT_TRUE(decoded.warnings.isEmpty()) << decoded.warnings.toStdString();
}

TEST_F(ExportJobTest, ALinkAtTheFinalNameIsReplacedAndNothingOutsideIsWritten) {
    m_server.page("/linked.txt", "a link was here\n", "text/plain");
    QTemporaryDir elsewhere;
    const QString victim = QDir(elsewhere.path()).filePath("victim");
    test::writeAll(victim, "precious");
    const QString target = outPath(mp3NameFor("/linked.txt"));
    ASSERT_TRUE(QFile::link(victim, target));

    const ExportResult result = runJob(m_server.url("/linked.txt"), outFolder());

    ASSERT_TRUE(result.mp3Made) << result.message.toStdString();
    EXPECT_EQ(result.mp3Path, target);
    EXPECT_FALSE(QFileInfo(target).isSymLink());
    EXPECT_TRUE(test::decodeMp3(target).ok);
    EXPECT_EQ(test::readAll(victim), "precious");

    // A dangling link creates nothing where it points.
    const QString nowhere = QDir(elsewhere.path()).filePath("created.mp3");
    ASSERT_TRUE(QFile::remove(target));
    ASSERT_TRUE(QFile::link(nowhere, target));
    ASSERT_TRUE(runJob(m_server.url("/linked.txt"), outFolder()).mp3Made);
    EXPECT_FALSE(QFileInfo(target).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(nowhere));
    EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::Files), QStringList{"victim"});
}

TEST_F(ExportJobTest, FolderTextWithoutSeparatorPutsTheFileBesideTheFolder) {
    m_server.page("/p.txt", "hello there\n", "text/plain");
    ASSERT_TRUE(QDir(m_out.path()).mkdir("Music"));

    const ExportResult result = runJob(m_server.url("/p.txt"), m_out.filePath("Music"));

    ASSERT_TRUE(result.mp3Made);
    EXPECT_EQ(result.mp3Path, outPath("Music" + mp3NameFor("/p.txt")));
    EXPECT_TRUE(QFileInfo::exists(result.mp3Path));
    EXPECT_TRUE(QDir(m_out.filePath("Music")).isEmpty());
}

TEST_F(ExportJobTest, AddressWithShellCharactersRunsNothingAndIsCleanedForTheName) {
    m_server.page("/page", "<p>Quotes and dollars are harmless here.</p>");
    const QString marker = "vt-export-marker";
    const QString tail = "?a=\"b\"&c;d$(touch " + marker + ")`touch " + marker + "`|x<y>*z:\\w&'q'";
    const QString address = m_server.url("/page") + tail;

    const ExportResult result = runJob(address, outFolder());

    ASSERT_TRUE(result.mp3Made) << result.message.toStdString();
    const QString expectedName = "http127.0.0.1" + QString::number(m_server.port()) +
                                 "pagea=b&c;d$(touch " + marker + ")`touch " + marker +
                                 "`xyzw&'q'.mp3";
    EXPECT_EQ(QFileInfo(result.mp3Path).fileName(), expectedName);
    EXPECT_TRUE(QFileInfo::exists(result.mp3Path));
    EXPECT_EQ(m_server.hits("/page"), 1);
    for (const QString& folder : {QDir::currentPath(), m_out.path(), temporaryRoot()}) {
        EXPECT_FALSE(QFileInfo::exists(QDir(folder).filePath(marker))) << folder.toStdString();
    }
}

TEST_F(ExportJobTest, AVeryLongAddressIsCutToAFileNameThatFits) {
    m_server.page("/long-name", "<p>A page with a long address.</p>");
    QString address = m_server.url("/long-name") + "?";
    address += QString(300 - address.size(), u'q');
    ASSERT_EQ(address.size(), 300);

    const ExportResult result = runJob(address, outFolder());

    ASSERT_TRUE(result.mp3Made) << result.message.toStdString();
    const QString name = QFileInfo(result.mp3Path).fileName();
    EXPECT_LE(QFile::encodeName(name).size(), 255);
    EXPECT_TRUE(name.startsWith("http127.0.0.1"));
    EXPECT_TRUE(name.endsWith("qqq.mp3"));
    EXPECT_TRUE(test::decodeMp3(result.mp3Path).ok);
}

TEST_F(ExportJobTest, NothingLeftInTheSharedTemporaryFolderIsReadOrRun) {
    // Files an earlier program left at the fixed names in T: a page text and
    // encoders. The export neither speaks that text nor runs them.
    const QString stale = QDir(temporaryRoot()).filePath("output.txt");
    test::writeAll(stale, test::sentences(50, 8));
    const QString marker = QDir(temporaryRoot()).filePath("encoder-ran");
    for (const QString& name : {QString("lame"), QString("lame.exe")}) {
        const QString path = QDir(temporaryRoot()).filePath(name);
        test::writeAll(path, "#!/bin/sh\ntouch '" + marker.toUtf8() + "'\nexit 0\n");
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    m_server.page("/fresh.txt", "fresh words only\n", "text/plain");

    const ExportResult fresh = runJob(m_server.url("/fresh.txt"), outFolder());
    ASSERT_TRUE(fresh.mp3Made);
    EXPECT_FALSE(QFileInfo::exists(marker));
    EXPECT_LT(test::decodeMp3(fresh.mp3Path).seconds, 10.0); // not the fifty stale lines

    // A failed fetch does not fall back on the stale text.
    const ExportResult failed = runJob(m_server.url("/missing.txt"), outFolder());
    EXPECT_FALSE(failed.mp3Made);
    EXPECT_EQ(failed.failure, ExportFailure::PageNotFetched);
    EXPECT_FALSE(QFileInfo::exists(failed.mp3Path));
    EXPECT_TRUE(QFileInfo::exists(stale));
    for (const QString& name : {QString("output.txt"), QString("lame"), QString("lame.exe")}) {
        QFile::remove(QDir(temporaryRoot()).filePath(name));
    }
}

} // namespace
} // namespace vt
