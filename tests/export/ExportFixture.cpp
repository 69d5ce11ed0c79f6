#include "ExportFixture.h"

#include "export/CutTextFileFSO.h"
#include "export/PartFiles.h"
#include "speech/wav/SaveToWAV.h"

#include <QDir>
#include <future>
#include <stop_token>

namespace vt::test {

QByteArray sentences(int lines, int wordsPerLine) {
    static const QList<QByteArray> words = {
        "river", "garden", "morning", "quiet",  "lantern", "harbour", "yellow",  "window",
        "paper", "silver", "travel",  "orange", "meadow",  "pencil",  "thunder", "basket"};
    QByteArray text;
    quint32 seed = 12345;
    for (int line = 0; line < lines; ++line) {
        for (int w = 0; w < wordsPerLine; ++w) {
            seed = seed * 1103515245u + 12345u;
            text += (w == 0 ? "" : " ") + words.at(static_cast<int>((seed >> 16) % words.size()));
        }
        text += ".\n";
    }
    return text;
}

double spokenSeconds(const QByteArray& pageText, const VoiceChoice& voice,
                     const VoiceCatalogue& voices) {
    QTemporaryDir dir;
    RecordingDialogs dialogs;
    const QString page = dir.filePath("page.txt");
    writeAll(page, pageText);
    const int parts = CutTextFileFSO(page, voice.rate, dialogs);
    double seconds = 0;
    for (int i = 1; i <= parts; ++i) {
        const QString base = dir.filePath("page");
        const QString wav = PartFilePath(base, i, ".wav");
        SaveToWAV(PartFilePath(base, i, ".txt"), wav, voice, voices, dialogs);
        seconds += wavSeconds(wav);
    }
    EXPECT_TRUE(dialogs.entries().isEmpty());
    return seconds;
}

void ExportFixture::SetUp() {
    ASSERT_TRUE(m_out.isValid());
    ASSERT_TRUE(leftoverJobFolders().isEmpty());
}

void ExportFixture::TearDown() {
    // However the export ended, its folder and its encoders are gone.
    EXPECT_TRUE(leftoverJobFolders().isEmpty()) << leftoverJobFolders().join(' ').toStdString();
    EXPECT_EQ(runningChildren("lame"), 0);
    // Only the MP3s (and what the test put there) are in the output folder.
    for (const QString& name : QDir(m_out.path()).entryList(QDir::Files | QDir::Hidden)) {
        EXPECT_FALSE(name.startsWith(".vellumtone")) << name.toStdString();
        EXPECT_FALSE(name.contains(".mp3.")) << name.toStdString();
    }
}

ExportResult ExportFixture::runJob(const QString& address, const QString& folderText,
                                   const VoiceChoice& voice) {
    const ExportRequest request{address, folderText, voice, PageTextMode::WholePage};
    return std::async(
               std::launch::async,
               [&] { return runExport(request, m_speech.voices, m_dialogs, std::stop_token()); })
        .get();
}

QString ExportFixture::mp3NameFor(const QString& path) const {
    return "http127.0.0.1" + QString::number(m_server.port()) + QString(path).remove('/') + ".mp3";
}

QStringList ExportFixture::shownTexts() const {
    QStringList texts;
    for (const RecordingDialogs::Entry& entry : m_dialogs.entries()) {
        texts.append(entry.text);
    }
    return texts;
}

} // namespace vt::test
