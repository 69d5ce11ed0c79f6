#pragma once

#include "sources/reader/PageTextMode.h"
#include "speech/voices/VoiceCatalogue.h"
#include "speech/voices/VoiceChoice.h"

#include <QMetaType>
#include <QString>
#include <functional>
#include <optional>
#include <stop_token>

namespace vt {

class Dialogs;

// What the window hands the export: the address box, the folder box, the
// voice, volume and rate chosen, and whether the page's article alone is read.
struct ExportRequest {
    QString address;
    QString folderText;
    VoiceChoice voice;
    PageTextMode pageText = PageTextMode::WholePage;
    // Text to read instead of the page at the address (the text box's own):
    // no address is needed, its first line is the title and names the file.
    std::optional<QString> givenText = std::nullopt;
};

// The steps of "Save Audio As MP3", numbered as its error report shows them.
enum class ExportStep {
    StartJob = 114, // the window hands the request to the runner
    SplitText = 136,
    RenderPart = 142,
    EncodeOnlyPart = 148,
    MoveOnlyPart = 148,
    EncodePart = 150,
    JoinParts = 172,
    ClosingMessage = 186,
    FolderMissingNotice = 188,
    AddressBlankNotice = 190
};

// Why an export made no MP3.
enum class ExportFailure {
    None,
    AddressBlank,      // "Website is blank"
    FolderMissing,     // "Folder does not exist. Please select another folder."
    EncoderMissing,    // lame is not installed
    FolderNotWritable, // the final file's folder refuses new files
    NoWorkingFolder,   // no private folder could be made in the temporary folder
    PageNotFetched,
    PageHasNoText,
    SplitFailed,
    SpeechFailed,
    EncoderFailed,
    DiskFull,
    WriteFailed, // the final file could not be written for another reason
    Cancelled
};

struct ExportResult {
    bool mp3Made = false;
    QString mp3Path; // the final file's path, once known
    ExportFailure failure = ExportFailure::None;
    QString message; // the closing message shown ("Done." or why no MP3 was made)
};

// The texts the export shows.
namespace exportText {
inline constexpr char WebsiteBlank[] = "Website is blank";
inline constexpr char FolderMissing[] = "Folder does not exist. Please select another folder.";
inline constexpr char Done[] = "Done.";
} // namespace exportText

// The "Save Audio As MP3" job: plain sequential code for a worker thread. It
// refuses a blank address and a missing folder, checks the encoder and the
// folder before any work, fetches the page into a private folder of its own,
// splits, renders and encodes the parts (rendering the next part while earlier
// ones encode), joins them in index order into the final file (written
// atomically), and removes its folder however it ends. It shows "Done." only
// when the MP3 was made, otherwise one message saying why. When cancel becomes
// requested it stops promptly, shows nothing more and leaves no MP3 behind.
// dialogs must accept calls from worker threads (ThreadSafeDialogs in the window).
// What the window hears of the job's progress: the work starts once the
// request has passed its checks (the hourglass goes on) and ends before the
// closing message is shown (the hourglass goes off). Called on the worker.
struct ExportProgress {
    ExportProgress(std::function<void()> starts = {}, std::function<void()> ends = {})
        : workStarts(std::move(starts)), workEnds(std::move(ends)) {}

    std::function<void()> workStarts;
    std::function<void()> workEnds;
    // The page was split into this many parts; a part's WAV or MP3 is made.
    std::function<void(int parts)> partsKnown;
    std::function<void(int index)> partRendered;
    std::function<void(int index)> partEncoded;
};

// The voice position of the request refers to voices, which also names the engine.
ExportResult runExport(const ExportRequest& request, const VoiceCatalogue& voices, Dialogs& dialogs,
                       std::stop_token cancel, const ExportProgress& progress = {});

} // namespace vt

Q_DECLARE_METATYPE(vt::ExportResult)
