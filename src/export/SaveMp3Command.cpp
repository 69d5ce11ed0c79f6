#include "SaveMp3Command.h"

#include "ExportJob.h"
#include "InterruptibleRun.h"
#include "StreamDialogs.h"
#include "core/FileUtils.h"
#include "core/SettingsStore.h"
#include "speech/VoiceCatalogue.h"

#include <QDir>
#include <QTextStream>
#include <limits>
#include <optional>

namespace vt {

namespace {

constexpr int ExitMade = 0;
constexpr int ExitNotMade = 1;
constexpr int ExitUsage = 2;

QString usage() {
    return QStringLiteral(
        "Usage: vellumtone --save-mp3 ADDRESS [--folder DIR] [--voice N] "
        "[--volume V] [--rate R]\n"
        "  --folder DIR  output folder (default: the folder chosen in the window)\n"
        "  --voice N     position in the voice list, -1 for the default voice\n"
        "  --volume V    0 to 100\n"
        "  --rate R      -10 to 10");
}

int storedNumber(const char* key, const char* defaultValue) {
    try {
        return SettingsStore().readWholeNumber(QString::fromLatin1(key),
                                               QString::fromLatin1(defaultValue));
    } catch (const std::exception&) {
        return QString::fromLatin1(defaultValue).toInt();
    }
}

QString storedFolder() {
    QString desktop;
    try {
        desktop = GetDesktopFolder();
    } catch (const std::exception&) {
        // No desktop: the folder stays empty and the export says it does not exist.
    }
    return SettingsStore().read(QString::fromLatin1(key::Text3), desktop);
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

// Fills request from the arguments after ADDRESS; "" when they are fine,
// otherwise what is wrong with them.
QString readOptions(const QStringList& options, int lastVoice, ExportRequest& request) {
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
        if (name == QStringLiteral("--folder")) {
            // A folder named on the command line is the folder itself.
            request.folderText = withTrailingSeparator(QDir::toNativeSeparators(value));
            continue;
        }
        std::optional<int> number;
        if (name == QStringLiteral("--voice")) {
            number = wholeNumberIn(value, -1, lastVoice);
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

} // namespace

bool isSaveMp3Command(const QStringList& arguments) {
    return optionIndex(arguments) >= 0;
}

int saveMp3Command(SpeechEngine& engine, const QStringList& arguments, QTextStream& out,
                   QTextStream& err) {
    // ADDRESS and the options follow --save-mp3, or start the list when the
    // caller has taken the option off already.
    const QStringList own = arguments.mid(optionIndex(arguments) + 1);
    if (own.isEmpty()) {
        err << "vellumtone: " << SaveMp3Option << " needs an address\n" << usage() << '\n';
        err.flush();
        return ExitUsage;
    }
    ExportRequest request;
    request.address = own.at(0);
    request.folderText = storedFolder();
    request.voice.position = storedNumber(key::Combo1, "0");
    request.voice.volume = storedNumber(key::VolumeLevel, "50");
    request.voice.rate = storedNumber(key::SpeechRate, "-3");
    VoiceCatalogue voices(engine);
    bool listed = true;
    try {
        voices.refresh();
    } catch (const std::exception&) {
        listed = false;
    }
    const QString problem = readOptions(own.mid(1), lastVoicePosition(voices, listed), request);
    if (!problem.isEmpty()) {
        err << "vellumtone: " << problem << '\n' << usage() << '\n';
        err.flush();
        return ExitUsage;
    }

    StreamDialogs dialogs(err);
    ExportResult result;
    // The export is worker-thread code; without a window this thread just waits.
    // Ctrl+C cancels it, so its folder is removed and no partial MP3 is left.
    runInterruptibly([&](std::stop_token cancel) {
        result = runExport(request, voices, dialogs, std::move(cancel));
    });

    if (!result.mp3Made) {
        return ExitNotMade;
    }
    out << QDir::toNativeSeparators(result.mp3Path) << '\n';
    out.flush();
    return ExitMade;
}

} // namespace vt
