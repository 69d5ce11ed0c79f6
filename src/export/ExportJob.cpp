#include "ExportJob.h"

#include "CutTextFileFSO.h"
#include "ExportLog.h"
#include "JoinFiles.h"
#include "OutputName.h"
#include "PartFiles.h"
#include "core/Dialogs.h"
#include "core/ErrorReport.h"
#include "core/Failure.h"
#include "core/ProcedureTags.h"
#include "core/files/FileUtils.h"
#include "core/files/TempFolders.h"
#include "export/mp3/Encoder.h"
#include "export/mp3/EncoderQueue.h"
#include "export/mp3/Mp3Chapters.h"
#include "export/mp3/Mp3Tags.h"
#include "sources/reader/GetPageText.h"
#include "speech/CleanSpeechText.h"
#include "speech/wav/SaveToWAV.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QThread>
#include <algorithm>

namespace vt {

namespace {

QString noMp3(const QString& why, const QString& detail = QString()) {
    QString text = QStringLiteral("No MP3 was made: ") + why;
    if (!detail.isEmpty()) {
        text += QStringLiteral("\n") + detail;
    }
    return text;
}

// Letters or digits left once the text is cleaned the way the parts will be.
bool hasSpeakableText(const QString& text) {
    const QString cleaned = CleanSpeechText(text.toLower());
    return std::any_of(cleaned.cbegin(), cleaned.cend(),
                       [](QChar c) { return c.isLetterOrNumber(); });
}

// Whether a new file can be made in the folder, found by making one.
bool canCreateFilesIn(const QString& folder, QString& reason) {
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".vellumtone-XXXXXX")));
    if (probe.open()) {
        return true;
    }
    reason = probe.errorString();
    return false;
}

// Parts encode side by side while the next part renders: one encoder per core
// and one more, so the cores stay busy while the last parts finish (with one
// encoder per core, the last part would often encode alone on one core).
int encoderCount() {
    return qMax(1, QThread::idealThreadCount()) + 1;
}

using Step = ExportStep;

// A page's description is a summary; one that runs on is not worth a tag.
constexpr qsizetype MaximumDescriptionLength = 2000;

class ExportJob {
  public:
    ExportJob(const ExportRequest& request, const VoiceCatalogue& voices, Dialogs& dialogs,
              std::stop_token cancel, const ExportProgress& progress)
        : m_request(request), m_voices(voices), m_dialogs(dialogs), m_cancel(std::move(cancel)),
          m_progress(progress), m_proc(dialogs, tag::PushButton8Click) {}

    ExportResult run() {
        if (refused()) {
            return m_result;
        }
        qCDebug(exportLog) << "export of" << m_request.address << "into" << m_request.folderText;
        if (m_progress.workStarts) {
            m_progress.workStarts();
        }
        work(); // the private folder is gone once this returns
        if (m_progress.workEnds) {
            m_progress.workEnds();
        }
        closingMessage();
        qCDebug(exportLog) << "export ended:" << m_result.message;
        return m_result;
    }

  private:
    bool refused() {
        if (m_request.address.isEmpty() && !m_request.givenText) {
            m_result.failure = ExportFailure::AddressBlank;
            m_result.message = QString::fromLatin1(exportText::WebsiteBlank);
            m_proc.step(Step::AddressBlankNotice,
                        [&] { noticeFailure(m_dialogs, exportLog(), m_result.message); });
            return true;
        }
        if (!FolderExists(m_request.folderText)) {
            m_result.failure = ExportFailure::FolderMissing;
            m_result.message = QString::fromLatin1(exportText::FolderMissing);
            m_proc.step(Step::FolderMissingNotice,
                        [&] { noticeFailure(m_dialogs, exportLog(), m_result.message); });
            return true;
        }
        return false;
    }

    void work() {
        // The encoder and the folder are checked before anything is fetched.
        if (findEncoder().isEmpty()) {
            fail(ExportFailure::EncoderMissing,
                 noMp3(QStringLiteral("the MP3 encoder \"%1\" was not found. Please install "
                                      "LAME (the Debian package \"lame\").")
                           .arg(QString::fromLatin1(EncoderProgramName))));
            return;
        }
        m_result.mp3Path = FinalMp3Path(m_request.folderText, outputName());
        QString reason;
        const QString outputFolder = QFileInfo(m_result.mp3Path).absolutePath();
        if (!canCreateFilesIn(outputFolder, reason)) {
            fail(ExportFailure::FolderNotWritable,
                 noMp3(QStringLiteral("the folder \"%1\" cannot be written to (%2). Please "
                                      "select another folder.")
                           .arg(nativePath(outputFolder), reason)));
            return;
        }
        const PrivateFolder folder;
        if (!folder.isValid()) {
            if (!folder.errorString().isEmpty()) {
                fail(ExportFailure::NoWorkingFolder,
                     noMp3(QStringLiteral("no working folder could be made: %1.")
                               .arg(folder.errorString())));
            } else if (!failedForFullDisk(temporaryRoot())) {
                fail(ExportFailure::NoWorkingFolder,
                     noMp3(QStringLiteral("no working folder could be made in \"%1\".")
                               .arg(nativePath(temporaryRoot()))));
            }
            return;
        }
        m_folder = folder.path();
        m_base = folder.filePath(QStringLiteral("output"));
        const int parts = fetchAndSplit();
        if (parts < 1 || stopped()) {
            return;
        }
        tell(m_progress.partsKnown, parts);
        if (renderAndEncode(parts)) {
            join(parts);
        }
        for (int i = 1; i <= parts; ++i) {
            DeleteFileQuiet(partPath(i, ".mp3"));
        }
    }

    // The cleaned address, or for a given text its cleaned title.
    QString outputName() const {
        if (!m_request.givenText) {
            return SanitiseAddress(m_request.address);
        }
        const QString name = SanitiseAddress(titleOfText(*m_request.givenText));
        return name.isEmpty() ? QStringLiteral("Text") : name;
    }

    // The page's text, or the text given, in the page text file.
    QString pageText(QString& failure) {
        try {
            if (m_request.givenText) {
                WriteJobTextFile(*m_request.givenText, pageTextFilePath(m_folder));
                m_pageTitle = titleOfText(*m_request.givenText);
                return *m_request.givenText;
            }
            return GetPageText(m_request.address, m_folder, m_cancel, m_request.pageText,
                               &m_pageTitle, &m_outline);
        } catch (const std::exception& e) {
            failure = describe(e);
        }
        return QString();
    }

    // The number of parts, or 0 when the page gave none.
    int fetchAndSplit() {
        const QString pageFile = QDir(m_folder).filePath(QStringLiteral("output.txt"));
        QString fetchFailure;
        const QString text = pageText(fetchFailure);
        if (stopped()) {
            return 0;
        }
        if (!fetchFailure.isEmpty() || !FileExists(pageFile)) {
            fail(ExportFailure::PageNotFetched,
                 noMp3(QStringLiteral("the page could not be fetched."), fetchFailure));
            return 0;
        }
        if (!hasSpeakableText(text)) {
            fail(ExportFailure::PageHasNoText,
                 noMp3(m_request.givenText ? QStringLiteral("the text box has no text to read.")
                                           : QStringLiteral("the page has no text to read.")));
            return 0;
        }
        int parts = 0;
        std::vector<PartLine> lineStarts;
        m_proc.step(Step::SplitText, [&] {
            parts = CutTextFileFSO(pageFile, m_request.voice.rate, m_dialogs, lineStarts);
        });
        m_chapters = ChapterPlan(text, m_outline.headings, lineStarts);
        qCDebug(exportLog) << "page text split into" << parts << "parts";
        if (parts < 1 && !failedForFullDisk(m_folder)) {
            fail(ExportFailure::SplitFailed,
                 noMp3(QStringLiteral("the page text could not be split into parts.")));
        }
        return parts;
    }

    // Renders part after part while earlier parts encode; false when a part failed.
    bool renderAndEncode(int parts) {
        EncoderQueue encoders(m_cancel, encoderCount());
        for (int i = 1; i <= parts; ++i) {
            const QString wav = partPath(i, ".wav");
            DeleteFileQuiet(wav);
            WavRendering rendering;
            m_proc.step(Step::RenderPart, [&] {
                if (WavLineMarks* marks = m_chapters.marksFor(i)) {
                    rendering = SaveToWAV(partPath(i, ".txt"), wav, m_request.voice, m_voices,
                                          m_dialogs, m_cancel, *marks);
                } else {
                    rendering = SaveToWAV(partPath(i, ".txt"), wav, m_request.voice, m_voices,
                                          m_dialogs, m_cancel);
                }
            });
            if (stopped()) {
                return false;
            }
            if (rendering.diskFull) {
                // The partial WAV is gone, so the room is back: say what happened.
                failForFullTemporaryDisk();
                return false;
            }
            if (!rendering.written()) {
                if (!failedForFullDisk(m_folder)) {
                    fail(ExportFailure::SpeechFailed,
                         noMp3(QStringLiteral("part %1 of %2 could not be spoken.")
                                   .arg(i)
                                   .arg(parts)));
                }
                return false;
            }
            tell(m_progress.partRendered, i);
            while (encoders.isFull()) {
                if (!collect(encoders.finishOldest(), parts)) {
                    return false;
                }
            }
            const Step encodeStep = parts == 1 ? Step::EncodeOnlyPart : Step::EncodePart;
            m_proc.step(encodeStep, [&] { encoders.start(i, wav, partPath(i, ".mp3")); });
        }
        while (!encoders.isEmpty()) {
            if (!collect(encoders.finishOldest(), parts)) {
                return false;
            }
        }
        return !stopped();
    }

    bool collect(const EncoderQueue::Finished& part, int parts) {
        DeleteFileQuiet(part.wavPath);
        if (stopped()) {
            return false;
        }
        if (!part.failure.isEmpty() || !FileExists(part.mp3Path)) {
            if (!failedForFullDisk(m_folder)) {
                fail(ExportFailure::EncoderFailed,
                     noMp3(QStringLiteral("the MP3 encoder failed on part %1 of %2.")
                               .arg(part.index)
                               .arg(parts),
                           part.failure));
            }
            return false;
        }
        tell(m_progress.partEncoded, part.index);
        return true;
    }

    // The parts in index order into the final file; one part is moved into place the same way.
    void join(int parts) {
        QStringList mp3Parts;
        for (int i = 1; i <= parts; ++i) {
            mp3Parts.append(partPath(i, ".mp3"));
        }
        const Step joinStep = parts > 1 ? Step::JoinParts : Step::MoveOnlyPart;
        m_proc.step(joinStep, [&] {
            try {
                m_result.mp3Made =
                    JoinFilesAtomically(mp3Parts, m_result.mp3Path, m_cancel, tagBytes(mp3Parts));
            } catch (const DiskFullFailure& e) {
                fail(ExportFailure::DiskFull,
                     noMp3(QStringLiteral("the disk is full."), e.description()));
            } catch (const std::exception& e) {
                fail(ExportFailure::WriteFailed,
                     noMp3(QStringLiteral("the MP3 file could not be written."), describe(e)));
            }
        });
    }

    // The tag goes into the file before it is committed, so the file stays atomic.
    QByteArray tagBytes(const QStringList& mp3Parts) const {
        Mp3TagFields fields =
            mp3TagFieldsFor(m_request.address, m_pageTitle, QDate::currentDate().year());
        fields.description = m_outline.description.left(MaximumDescriptionLength);
        try {
            fields.chapters = m_chapters.chapters(fields.title, mp3Parts);
        } catch (const std::exception& e) {
            // The audio matters more than its chapters: the file is made without them.
            qCWarning(exportLog) << "no chapters:" << describe(e);
        }
        return id3v2TagBytes(fields);
    }

    void closingMessage() {
        if (m_result.mp3Made) {
            m_result.failure = ExportFailure::None;
            m_result.message = QString::fromLatin1(exportText::Done);
        } else if (stopped()) {
            m_result.failure = ExportFailure::Cancelled;
            m_result.message.clear();
        } else if (m_result.message.isEmpty()) {
            fail(ExportFailure::WriteFailed,
                 noMp3(QStringLiteral("a step failed; see the report shown before.")));
        }
        // After a cancel the window is going away: nothing more is shown.
        if (!stopped()) {
            m_proc.step(Step::ClosingMessage, [&] {
                if (m_result.mp3Made) {
                    m_dialogs.notice(m_result.message);
                } else {
                    noticeFailure(m_dialogs, exportLog(), m_result.message);
                }
            });
        }
    }

    // A part that went missing on a full disk says so rather than blaming speech or encoder.
    bool failedForFullDisk(const QString& folder) {
        if (!DiskIsFull(folder, 0)) {
            return false;
        }
        failForFullTemporaryDisk();
        return true;
    }

    void failForFullTemporaryDisk() {
        fail(ExportFailure::DiskFull,
             noMp3(QStringLiteral("the disk is full."),
                   QStringLiteral("The temporary folder \"%1\" has no room left.")
                       .arg(nativePath(temporaryRoot()))));
    }

    void fail(ExportFailure failure, const QString& message) {
        if (m_result.failure == ExportFailure::None) {
            m_result.failure = failure;
            m_result.message = message;
        }
    }

    bool stopped() const { return m_cancel.stop_requested(); }

    static void tell(const std::function<void(int)>& listener, int value) {
        if (listener) {
            listener(value);
        }
    }

    QString partPath(int index, const char* extension) const {
        return PartFilePath(m_base, index, QString::fromLatin1(extension));
    }

    const ExportRequest& m_request;
    const VoiceCatalogue& m_voices;
    Dialogs& m_dialogs;
    std::stop_token m_cancel;
    const ExportProgress& m_progress;
    Procedure m_proc;
    ExportResult m_result;
    QString m_folder; // the job's private folder
    QString m_base;   // the part files' path without index and extension
    QString m_pageTitle;
    PageOutline m_outline;
    ChapterPlan m_chapters;
};

} // namespace

ExportResult runExport(const ExportRequest& request, const VoiceCatalogue& voices, Dialogs& dialogs,
                       std::stop_token cancel, const ExportProgress& progress) {
    return ExportJob(request, voices, dialogs, std::move(cancel), progress).run();
}

} // namespace vt
