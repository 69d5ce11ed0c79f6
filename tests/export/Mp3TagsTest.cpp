#include "export/mp3/Mp3Tags.h"

#include "ExportFixture.h"
#include "export/JoinFiles.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <mpegfile.h>
#include <tag.h>

namespace vt {
namespace {

QString text(const TagLib::String& s) {
    return QString::fromStdString(s.to8Bit(true));
}

struct ReadTags {
    bool hasId3v2 = false;
    QString title, artist, album, comment;
    unsigned year = 0;
};

// The tags as a music player's library (TagLib) reads them back.
ReadTags readTags(const QString& path) {
    TagLib::MPEG::File file(QFile::encodeName(path).constData());
    ReadTags tags;
    tags.hasId3v2 = file.isValid() && file.hasID3v2Tag();
    if (const TagLib::Tag* tag = file.tag()) {
        tags.title = text(tag->title());
        tags.artist = text(tag->artist());
        tags.album = text(tag->album());
        tags.comment = text(tag->comment());
        tags.year = tag->year();
    }
    return tags;
}

TEST(Mp3TagFields, NameThePageItsSiteAndTheExport) {
    const QString address = "https://news.example.org/today/story?id=7";
    const Mp3TagFields fields = mp3TagFieldsFor(address, "  The\n Day's  Story ", 2026);
    EXPECT_EQ(fields.title, "The Day's Story");
    EXPECT_EQ(fields.artist, "news.example.org");
    EXPECT_EQ(fields.album, "Vellumtone");
    EXPECT_EQ(fields.comment, address);
    EXPECT_EQ(fields.year, 2026);

    // No title: the address stands in; a local file has no host.
    const Mp3TagFields local = mp3TagFieldsFor("file:///home/a/page.html", " ", 2025);
    EXPECT_EQ(local.title, "file:///home/a/page.html");
    EXPECT_EQ(local.artist, "");
}

class TaggedMp3Test : public test::ExportFixture {
  protected:
    // A real MP3 part made by the encoder from a tone.
    QString encodedPart(const QString& name, double seconds) {
        const QString wav = outPath(name + ".wav");
        const QString mp3 = outPath(name + ".mp3");
        test::writeToneWav(wav, seconds);
        QProcess lame;
        lame.start("lame", {"--quiet", "-h", wav, mp3});
        EXPECT_TRUE(lame.waitForFinished(60000));
        EXPECT_EQ(lame.exitCode(), 0);
        QFile::remove(wav);
        return mp3;
    }
};

TEST_F(TaggedMp3Test, TheTagGoesInFrontAndTheAudioStaysTheSame) {
    const QStringList parts{encodedPart("a", 1.5), encodedPart("b", 2.0)};
    const QString plain = outPath("plain.mp3");
    const QString tagged = outPath("tagged.mp3");
    Mp3TagFields fields = mp3TagFieldsFor("http://www.example.com/x", "Grüße – 東京 & more", 2026);
    const QByteArray tag = id3v2TagBytes(fields);
    ASSERT_TRUE(tag.startsWith("ID3\x04"));
    ASSERT_TRUE(JoinFilesAtomically(parts, plain));
    ASSERT_TRUE(JoinFilesAtomically(parts, tagged, {}, tag));

    const QByteArray plainBytes = test::readAll(plain);
    const QByteArray taggedBytes = test::readAll(tagged);
    EXPECT_EQ(taggedBytes, tag + plainBytes);

    const ReadTags tags = readTags(tagged);
    EXPECT_TRUE(tags.hasId3v2);
    EXPECT_EQ(tags.title, "Grüße – 東京 & more");
    EXPECT_EQ(tags.artist, "www.example.com");
    EXPECT_EQ(tags.album, "Vellumtone");
    EXPECT_EQ(tags.comment, "http://www.example.com/x");
    EXPECT_EQ(tags.year, 2026u);

    const test::DecodedMp3 before = test::decodeMp3(plain);
    const test::DecodedMp3 after = test::decodeMp3(tagged);
    ASSERT_TRUE(before.ok);
    ASSERT_TRUE(after.ok);
    EXPECT_TRUE(after.warnings.isEmpty()) << after.warnings.toStdString();
    EXPECT_DOUBLE_EQ(after.seconds, before.seconds);
    EXPECT_NEAR(after.seconds, 3.5, 0.2);
}

TEST_F(TaggedMp3Test, AnExportedPageCarriesItsTitleSiteAndAddress) {
    m_server.page("/story", "<html><head><title>Der Zug &amp; die\n Brücke</title></head><body>"
                            "<h1>Heading</h1><p>" +
                                test::sentences(3, 5) + "</p></body></html>");
    m_server.page("/untitled", "<html><body><p>" + test::sentences(2, 4) + "</p></body></html>");

    const ExportResult titled = runJob(m_server.url("/story"), outFolder(), {-1, 50, 10});
    ASSERT_TRUE(titled.mp3Made) << titled.message.toStdString();
    const ReadTags tags = readTags(titled.mp3Path);
    EXPECT_TRUE(tags.hasId3v2);
    EXPECT_EQ(tags.title, "Der Zug & die Brücke");
    EXPECT_EQ(tags.artist, "127.0.0.1");
    EXPECT_EQ(tags.album, "Vellumtone");
    EXPECT_EQ(tags.comment, m_server.url("/story"));
    EXPECT_EQ(tags.year, static_cast<unsigned>(QDate::currentDate().year()));
    const test::DecodedMp3 decoded = test::decodeMp3(titled.mp3Path);
    ASSERT_TRUE(decoded.ok);
    EXPECT_TRUE(decoded.warnings.isEmpty()) << decoded.warnings.toStdString();
    EXPECT_GT(decoded.seconds, 1.0);

    const ExportResult untitled = runJob(m_server.url("/untitled"), outFolder(), {-1, 50, 10});
    ASSERT_TRUE(untitled.mp3Made) << untitled.message.toStdString();
    EXPECT_EQ(readTags(untitled.mp3Path).title, m_server.url("/untitled"));
}

TEST_F(TaggedMp3Test, AHugeTitleIsCutAndBidiControlsAreDropped) {
    // A megabyte of title with controls that would reorder what a player
    // shows, and a character outside the BMP right at the cut.
    const QString wanted =
        QString(250, u'a') + QString(249, u'b') + QString::fromUtf8("\U0001F600");
    const QString title = QString(250, u'a') + QChar(0x202E) + QChar(0x2066) + QString(249, u'b') +
                          QChar(0x200F) + QString::fromUtf8("\U0001F600") + QString(1 << 20, u'z');
    m_server.page("/huge", "<html><head><title>" + title.toUtf8() + "</title></head><body><p>" +
                               test::sentences(1, 4) + "</p></body></html>");

    const ExportResult result = runJob(m_server.url("/huge"), outFolder(), {-1, 50, 10});
    ASSERT_TRUE(result.mp3Made) << result.message.toStdString();
    EXPECT_EQ(readTags(result.mp3Path).title, wanted);
    const test::DecodedMp3 decoded = test::decodeMp3(result.mp3Path);
    ASSERT_TRUE(decoded.ok);
    // A few seconds at 32 kbit/s plus a tag of a few kilobytes.
    EXPECT_LT(QFileInfo(result.mp3Path).size(), decoded.seconds * 4000 + 16000);
}

TEST(Mp3TagFields, TagTextsAreBoundedAndShowAsWritten) {
    Mp3TagFields fields;
    fields.title = QString(600, u't');
    fields.artist = QChar(0x202E) + QString("gnp.exe") + QString(700, u'h');
    fields.comment = QString(1 << 20, u'c') + QChar(0x061C);
    const QByteArray tag = id3v2TagBytes(fields);
    EXPECT_LT(tag.size(), 4096); // three texts of 500 and the usual padding
    EXPECT_TRUE(tag.contains(QByteArray(500, 't')));
    EXPECT_FALSE(tag.contains(QByteArray(501, 't')));
    EXPECT_TRUE(tag.contains("gnp.exe"));
    EXPECT_FALSE(tag.contains(QString(QChar(0x202E)).toUtf8()));
}

} // namespace
} // namespace vt
