#pragma once

#include "ExportTestSupport.h"
#include "export/ExportJob.h"
#include "support/LocalHttpServer.h"
#include "support/RecordingDialogs.h"
#include "support/TestEnvironment.h"
#include "support/TestSpeech.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vt::test {

// Lines of plain words, different from line to line.
QByteArray sentences(int lines, int wordsPerLine);

// What the parts of a page text last when spoken: the text cut and rendered
// part by part, the way an export does it, and the WAV lengths added up.
double spokenSeconds(const QByteArray& pageText, const VoiceChoice& voice,
                     const VoiceCatalogue& voices);

// A served page, an output folder, and checks that every export cleans up.
class ExportFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the export on a worker thread, as the window does.
    ExportResult runJob(const QString& address, const QString& folderText,
                        const VoiceChoice& voice = {});
    QString outFolder() const { return withSeparator(m_out.path()); }
    QString outPath(const QString& name) const { return m_out.filePath(name); }
    static QString withSeparator(const QString& folder) { return folder + '/'; }
    // The MP3 name an address on the local server gets, from the parts of the URL.
    QString mp3NameFor(const QString& path) const;
    QStringList shownTexts() const;

    TestSpeech m_speech;
    LocalHttpServer m_server;
    QTemporaryDir m_out;
    RecordingDialogs m_dialogs;
};

} // namespace vt::test
