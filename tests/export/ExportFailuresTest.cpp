#include "ExportFixture.h"
#include "support/LogCapture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

namespace vt {
namespace {

using test::RecordingDialogs;

class ExportFailuresTest : public test::ExportFixture {
  protected:
    // One message, and it is a notice saying why: no report boxes besides it.
    void expectOneMessage(const ExportResult& result, const QString& beginning) {
        EXPECT_FALSE(result.mp3Made);
        EXPECT_EQ(shownTexts(), QStringList{result.message});
        EXPECT_EQ(m_dialogs.count(RecordingDialogs::Kind::Notice), 1);
        EXPECT_TRUE(result.message.startsWith(beginning)) << result.message.toStdString();
        if (!result.mp3Path.isEmpty()) {
            EXPECT_FALSE(QFileInfo::exists(result.mp3Path));
        }
    }
};

TEST_F(ExportFailuresTest, BlankAddressIsRefusedBeforeAnything) {
    const ExportResult result = runJob("", outFolder());
    EXPECT_EQ(result.failure, ExportFailure::AddressBlank);
    expectOneMessage(result, "Website is blank");
    EXPECT_EQ(result.message, "Website is blank");
}

TEST_F(ExportFailuresTest, MissingFolderIsRefusedBeforeAnythingAndLogged) {
    m_server.page("/p.txt", "words\n", "text/plain");
    const test::LogCapture log;
    const ExportResult result = runJob(m_server.url("/p.txt"), m_out.filePath("nowhere/"));
    EXPECT_EQ(result.failure, ExportFailure::FolderMissing);
    expectOneMessage(result, "Folder does not exist. Please select another folder.");
    EXPECT_EQ(m_server.hits("/p.txt"), 0);
    EXPECT_EQ(log.count("vellumtone.export", "Folder does not exist."), 1)
        << log.warnings().join('\n').toStdString();
}

TEST_F(ExportFailuresTest, UnwritableFolderIsFoundBeforeTheFetch) {
    m_server.page("/p.txt", "words\n", "text/plain");
    // Permissions do not stop root; /sys refuses new files to everyone.
    QString folder = "/sys/";
    if (geteuid() != 0) {
        folder = m_out.filePath("locked/");
        ASSERT_TRUE(QDir().mkpath(folder));
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    }
    const ExportResult result = runJob(m_server.url("/p.txt"), folder);
    EXPECT_EQ(result.failure, ExportFailure::FolderNotWritable);
    expectOneMessage(result, "No MP3 was made: the folder");
    EXPECT_EQ(m_server.hits("/p.txt"), 0);
    QFile::setPermissions(m_out.filePath("locked"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(ExportFailuresTest, UnreachablePageSaysItCouldNotBeFetched) {
    // Nothing listens on port 1.
    const ExportResult result = runJob("http://127.0.0.1:1/page", outFolder());
    EXPECT_EQ(result.failure, ExportFailure::PageNotFetched);
    expectOneMessage(result, "No MP3 was made: the page could not be fetched.\n");
    EXPECT_GT(result.message.size(),
              QString("No MP3 was made: the page could not be fetched.\n").size());

    m_dialogs.clear();
    const ExportResult notFound = runJob(m_server.url("/absent"), outFolder());
    EXPECT_EQ(notFound.failure, ExportFailure::PageNotFetched);
    expectOneMessage(notFound, "No MP3 was made: the page could not be fetched.\n");
}

TEST_F(ExportFailuresTest, PageWithoutTextSaysSo) {
    m_server.page("/empty", "<html><head><title>Title only</title><script>var x = 1;</script>"
                            "</head><body><div hidden>secret</div></body></html>");
    const ExportResult result = runJob(m_server.url("/empty"), outFolder());
    EXPECT_EQ(result.failure, ExportFailure::PageHasNoText);
    expectOneMessage(result, "No MP3 was made: the page has no text to read.");

    // Symbols the speech cleaner turns into blanks leave nothing to say either.
    m_dialogs.clear();
    m_server.page("/symbols.txt", "\xe2\x80\x94 %% ** ## \xc2\xa9\n", "text/plain; charset=utf-8");
    const ExportResult symbols = runJob(m_server.url("/symbols.txt"), outFolder());
    EXPECT_EQ(symbols.failure, ExportFailure::PageHasNoText);
}

TEST_F(ExportFailuresTest, UnusableTemporaryFolderIsSaidPlainly) {
    m_server.page("/p.txt", "words\n", "text/plain");
    const QByteArray saved = qgetenv("TEMP");
    qputenv("TEMP", QFile::encodeName(m_out.filePath("no-such-temp")));
    const ExportResult result = runJob(m_server.url("/p.txt"), outFolder());
    qputenv("TEMP", saved);
    EXPECT_EQ(result.failure, ExportFailure::NoWorkingFolder);
    expectOneMessage(result, "No MP3 was made: no working folder could be made in ");
    EXPECT_EQ(m_server.hits("/p.txt"), 0);
}

TEST_F(ExportFailuresTest, MissingEncoderIsFoundBeforeTheFetch) {
    m_server.page("/p.txt", "words\n", "text/plain");
    const test::ScopedPath noLame(m_out.filePath("empty-bin"));
    const ExportResult result = runJob(m_server.url("/p.txt"), outFolder());
    EXPECT_EQ(result.failure, ExportFailure::EncoderMissing);
    expectOneMessage(result, "No MP3 was made: the MP3 encoder \"lame\" was not found.");
    EXPECT_EQ(m_server.hits("/p.txt"), 0);
}

TEST_F(ExportFailuresTest, FailingEncoderLeavesNoFileAndKeepsAnEarlierOne) {
    m_server.page("/p.txt", test::sentences(120, 3), "text/plain");
    const QString target = outPath(mp3NameFor("/p.txt"));
    test::writeAll(target, "an earlier export");
    QTemporaryDir bin;
    const test::ScopedPath failingLame(test::makeScriptFolder(
        bin.path(), "lame",
        "printf 'half an mp3' > \"$3\"\necho 'lame: cannot encode' >&2\nexit 3\n"));

    const ExportResult result =
        runJob(m_server.url("/p.txt"), outFolder(), VoiceChoice{-1, 50, -10});

    EXPECT_EQ(result.failure, ExportFailure::EncoderFailed);
    EXPECT_FALSE(result.mp3Made);
    EXPECT_EQ(shownTexts(), QStringList{result.message});
    EXPECT_TRUE(result.message.startsWith("No MP3 was made: the MP3 encoder failed on part "));
    EXPECT_TRUE(result.message.contains("exit code 3"));
    EXPECT_TRUE(result.message.contains("lame: cannot encode"));
    EXPECT_EQ(test::readAll(target), "an earlier export");
}

} // namespace
} // namespace vt
