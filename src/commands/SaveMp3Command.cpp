#include "SaveMp3Command.h"

#include "CommandProgress.h"
#include "StreamDialogs.h"
#include "commands/InterruptibleRun.h"
#include "commands/PageTextCommand.h"
#include "core/NumberText.h"
#include "core/SettingsStore.h"
#include "core/files/FileUtils.h"
#include "export/ExportJob.h"
#include "export/LauncherProgress.h"
#include "sources/reader/PageTextModeSetting.h"
#include "speech/voices/VoiceCatalogue.h"
#include "speech/voices/VoiceList.h"

#include <QDBusConnection>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTextStream>
#include <limits>
#include <optional>

namespace vt {

namespace {

constexpr char SaveMp3Option[] = "--save-mp3";
// What the command says when Ctrl+C (or SIGTERM) has cancelled its export.
constexpr char CancelledLine[] = "vellumtone: the export was cancelled; no MP3 was made.";

constexpr int ExitMade = 0;
constexpr int ExitNotMade = 1;
constexpr int ExitUsage = 2;
constexpr int ProgressTickMs = 500;

QString usage() {
    return QStringLiteral(
        "Usage: vellumtone --save-mp3 ADDRESS [--folder DIR] [--voice N|NAME] "
        "[--volume V] [--rate R] [--article | --whole-page] [--quiet]\n"
        "  --folder DIR  output folder (default: the folder chosen in the window)\n"
        "  --voice N     position in the voice list, -1 for the default voice, or a\n"
        "                voice's name as the list shows it (case does not matter)\n"
        "  --volume V    0 to 100\n"
        "  --rate R      -10 to 10\n"
        "  --article     read only the page's article (when one is found)\n"
        "  --whole-page  read the whole page (default: the choice made in the window)\n"
        "  --quiet       no progress line on the terminal\n"
        "ADDRESS is a web or file: address, or a plain path to a local file.");
}

// A stored number the window's slider would refuse (outside its range, or
// too large to be a number at all) stops the command: the export must not run
// with a value that was never chosen, nor report success after a refusal.
// "" when the value is fine, otherwise why no MP3 is made.
QString readStoredNumber(const char* key, const char* defaultValue, int lowest, int highest,
                         const char* option, int& value) {
    const QString name = QString::fromLatin1(key);
    SettingsStore settings;
    bool fits = true;
    try {
        value = settings.readWholeNumber(name, QString::fromLatin1(defaultValue));
    } catch (const std::exception&) {
        fits = false;
    }
    if (fits && value >= lowest && value <= highest) {
        return QString();
    }
    return QStringLiteral("No MP3 was made: the stored setting \"%1\" is \"%2\", not a number "
                          "from %3 to %4. Choose one with %5 or in the window.")
        .arg(name, settings.read(name, QString()), QString::number(lowest),
             QString::number(highest), QString::fromLatin1(option));
}

// The stored voice as the window's list selects it: a position the list does
// not have, or a negative one, means the default voice.
// When the engine could not list its voices the list is empty, and the
// default voice is asked for; the export reports the engine's problem.
int storedVoicePosition(const VoiceCatalogue& voices) {
    const int voiceCount = static_cast<int>(voices.voices().size());
    return rememberedVoicePosition(
        Val(SettingsStore().read(QString::fromLatin1(key::Combo1), QStringLiteral("0"))),
        voiceCount);
}

// Fills in, from the stored settings, the choices the options did not make;
// "" when the stored values are fine, otherwise why no MP3 is made.
QString readStoredChoices(const QSet<QString>& given, const VoiceCatalogue& voices,
                          VoiceChoice& voice) {
    if (!given.contains(QStringLiteral("--voice"))) {
        voice.position = storedVoicePosition(voices);
    }
    QString problem;
    if (!given.contains(QStringLiteral("--volume"))) {
        problem = readStoredNumber(key::VolumeLevel, "50", 0, 100, "--volume", voice.volume);
    }
    if (problem.isEmpty() && !given.contains(QStringLiteral("--rate"))) {
        problem = readStoredNumber(key::SpeechRate, "-3", -10, 10, "--rate", voice.rate);
    }
    return problem;
}

QString storedFolder() {
    return SettingsStore().read(QString::fromLatin1(key::Text3), DefaultOutputFolder());
}

// The highest position --voice may name. When the engine cannot list its
// voices, any position passes here and the export reports the problem.
int lastVoicePosition(const VoiceCatalogue& voices, bool listed) {
    return listed ? static_cast<int>(voices.voices().size()) - 1 : std::numeric_limits<int>::max();
}

std::optional<int> wholeNumberIn(const QString& text, int lowest, int highest) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < lowest || value > highest) {
        return std::nullopt;
    }
    return value;
}

// The position of the voice with that name, the whole name with case folded.
std::optional<int> voiceNamed(const VoiceCatalogue& voices, const QString& name) {
    const std::vector<VoiceEntry>& list = voices.voices();
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].name.compare(name, Qt::CaseInsensitive) == 0) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

// Fills request from the arguments after ADDRESS; "" when they are fine,
// otherwise what is wrong with them.
QString readOptions(const QStringList& options, const VoiceCatalogue& voices, int lastVoice,
                    ExportRequest& request, QSet<QString>& given) {
    for (qsizetype i = 0; i < options.size(); ++i) {
        QString name = options.at(i);
        QString value;
        const qsizetype equals = name.indexOf(u'=');
        if (name.startsWith(QStringLiteral("--")) && equals > 0) {
            value = name.mid(equals + 1);
            name = name.left(equals);
        } else if (i + 1 < options.size()) {
            value = options.at(++i);
        } else {
            return QStringLiteral("%1 needs a value").arg(name);
        }
        given.insert(name);
        if (name == QStringLiteral("--folder")) {
            // An empty name is a mistake (an unset variable, say), not the
            // root folder nor the stored one.
            if (value.isEmpty()) {
                return QStringLiteral("--folder needs a folder name");
            }
            // A folder named on the command line is the folder itself.
            request.folderText = withTrailingSeparator(QDir::toNativeSeparators(value));
            continue;
        }
        std::optional<int> number;
        if (name == QStringLiteral("--voice")) {
            number = wholeNumberIn(value, -1, lastVoice);
            if (!number) {
                number = voiceNamed(voices, value);
            }
            request.voice.position = number.value_or(0);
        } else if (name == QStringLiteral("--volume")) {
            number = wholeNumberIn(value, 0, 100);
            request.voice.volume = number.value_or(0);
        } else if (name == QStringLiteral("--rate")) {
            number = wholeNumberIn(value, -10, 10);
            request.voice.rate = number.value_or(0);
        } else {
            return QStringLiteral("unknown option %1").arg(name);
        }
        if (!number) {
            return QStringLiteral("%1 does not take \"%2\"").arg(name, value);
        }
    }
    return QString();
}

// Where --save-mp3 stands in the arguments: first, or second after the
// program's name; -1 when it is in neither place.
qsizetype optionIndex(const QStringList& arguments) {
    for (qsizetype i = 0; i < qMin<qsizetype>(2, arguments.size()); ++i) {
        if (arguments.at(i) == QLatin1String(SaveMp3Option)) {
            return i;
        }
    }
    return -1;
}

// The session bus, when one is announced; asking for it otherwise could start
// one (autolaunch) just for a command's progress.
QDBusConnection announcedSessionBus() {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    const bool announced =
        !qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") ||
        (!runtime.isEmpty() && QFileInfo::exists(QString::fromLocal8Bit(runtime) + "/bus"));
    return announced ? QDBusConnection::sessionBus() : QDBusConnection(QString());
}
} // namespace

int saveMp3Command(SpeechEngine& engine, const QStringList& arguments, QTextStream& out,
                   QTextStream& err) {
    return saveMp3Command(engine, arguments, out, err, LauncherProgress(announcedSessionBus()));
}

int saveMp3Command(SpeechEngine& engine, const QStringList& arguments, QTextStream& out,
                   QTextStream& err, const LauncherProgress& launcher) {
    // ADDRESS and the options follow --save-mp3, or start the list when the
    // caller has taken the option off already.
    QStringList own = arguments.mid(optionIndex(arguments) + 1);
    const bool quiet = own.removeAll(QStringLiteral("--quiet")) > 0;
    if (own.isEmpty()) {
        err << "vellumtone: " << SaveMp3Option << " needs an address\n" << usage() << '\n';
        err.flush();
        return ExitUsage;
    }
    ExportRequest request;
    request.address = commandAddress(own.at(0));
    request.folderText = storedFolder();
    VoiceCatalogue voices(engine);
    bool listed = true;
    try {
        voices.refresh();
    } catch (const std::exception&) {
        listed = false; // the export reports the engine's problem
    }
    QSet<QString> given;
    QStringList options = own.mid(1);
    request.pageText = takePageTextModeOptions(options);
    const QString problem =
        readOptions(options, voices, lastVoicePosition(voices, listed), request, given);
    if (!problem.isEmpty()) {
        err << "vellumtone: " << problem << '\n' << usage() << '\n';
        err.flush();
        return ExitUsage;
    }
    const QString storedProblem = readStoredChoices(given, voices, request.voice);
    if (!storedProblem.isEmpty()) {
        err << storedProblem << '\n';
        err.flush();
        return ExitNotMade;
    }

    StreamDialogs streamDialogs(err);
    std::optional<TerminalProgress> progress;
    std::optional<ProgressAwareDialogs> progressDialogs;
    if (!quiet && standardErrorIsTerminal()) {
        progress.emplace(err);
        progressDialogs.emplace(streamDialogs, *progress);
    }
    Dialogs& dialogs = progressDialogs ? static_cast<Dialogs&>(*progressDialogs) : streamDialogs;
    const ExportProgress listeners =
        launcher.attachTo(progress ? progress->callbacks() : ExportProgress{});
    ExportResult result;
    // The export is worker-thread code; without a window this thread just
    // waits, moving the progress line's clock on now and then. Ctrl+C cancels
    // it, so its folder is removed and no partial MP3 is left.
    std::function<void()> tick;
    if (progress) {
        tick = [&] { progress->tick(); };
    }
    runInterruptibly(
        [&](std::stop_token cancel) {
            result = runExport(request, voices, dialogs, std::move(cancel), listeners);
        },
        tick, ProgressTickMs);

    if (!result.mp3Made) {
        if (result.failure == ExportFailure::Cancelled) {
            // Nothing else was shown for it: one line says what became of the export.
            err << CancelledLine << '\n';
            err.flush();
        }
        return ExitNotMade;
    }
    out << QDir::toNativeSeparators(result.mp3Path) << '\n';
    out.flush();
    return ExitMade;
}

} // namespace vt
