#include "commands/ListVoicesCommand.h"
#include "commands/PageTextCommand.h"
#include "commands/SaveMp3Command.h"
#include "commands/StreamDialogs.h"
#include "core/files/TempFolders.h"
#include "speech/engine/EspeakEngine.h"
#include "window/bus/ExportNotifier.h"
#include "window/bus/MprisService.h"
#include "window/form/Form1.h"
#include "window/form/QtDialogs.h"

#include <QApplication>
#include <QDBusConnection>
#include <QRandomGenerator>
#include <QTextStream>
#include <QThreadPool>
#include <cstdio>
#include <cstring>

namespace {

constexpr char HelpText[] =
    "Usage: vellumtone                 open the window\n"
    "       vellumtone --list-voices   print the voices, one per line\n"
    "       vellumtone --text ADDRESS [--article | --whole-page]\n"
    "                                  print the text a reading of the page would speak\n"
    "       vellumtone --save-mp3 ADDRESS [--folder DIR] [--voice N|NAME] [--volume V]\n"
    "                  [--rate R] [--article | --whole-page] [--quiet]\n"
    "                                  save the page as an MP3 file\n"
    "       vellumtone --help | --version\n"
    "  ADDRESS       a web address (http, https), a file: address, or a plain path\n"
    "                to a local file\n"
    "  --folder DIR  output folder (default: the folder chosen in the window)\n"
    "  --voice N     position in the voice list (-1: the default voice), or a\n"
    "                voice's name as --list-voices prints it, in any case\n"
    "  --volume V    0 to 100\n"
    "  --rate R      -10 to 10\n"
    "  --article     read only the page's article (when one is found)\n"
    "  --whole-page  read the whole page (it wins over --article; without either,\n"
    "                the choice made in the window decides)\n"
    "  --quiet       no progress line on the terminal\n"
    "  --help        print this help\n"
    "  --version     print the version\n"
    "Ctrl+C stops a --save-mp3 export and leaves no MP3 behind.\n"
    "Reads web pages aloud (eSpeak NG) and saves them as MP3 files (LAME).\n"
    "See vellumtone(1) for more.\n";

// The headless commands: --list-voices, --text ADDRESS, --save-mp3 ADDRESS [...].
int runCommand(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    vt::leaveFailuresToTheStreams();
    QStringList args = app.arguments();
    args.removeFirst();
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QString command = args.takeFirst();
    int code = 2;
    if ((command == "--help" || command == "--version") && args.isEmpty()) {
        out << (command == "--help" ? QString::fromLatin1(HelpText)
                                    : QStringLiteral("vellumtone " VELLUMTONE_VERSION "\n"));
        code = 0;
    } else if (command == "--list-voices" && args.isEmpty()) {
        vt::EspeakEngine engine;
        code = vt::listVoicesCommand(engine, out, err);
    } else if (command == "--text" && vt::isPageTextCommand(args)) {
        code = vt::pageTextCommand(args, out, err);
    } else if (command == "--save-mp3" && !args.isEmpty()) {
        vt::EspeakEngine engine;
        code = vt::saveMp3Command(engine, args, out, err);
    } else {
        err << "usage: vellumtone [--list-voices | --text ADDRESS [--article | --whole-page] | "
               "--save-mp3 ADDRESS [--folder DIR] [--voice N|NAME] [--volume V] [--rate R] "
               "[--article | --whole-page] [--quiet] | --help | --version]\n";
    }
    out.flush();
    err.flush();
    return code;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strncmp(argv[1], "--", 2) == 0) {
        vt::RemoveAbandonedJobFolders(); // left by runs that crashed or were killed
        return runCommand(argc, argv);
    }
    QApplication app(argc, argv);
    // The same for the window, off its thread: a large leftover takes a while to remove.
    QThreadPool::globalInstance()->start([] { vt::RemoveAbandonedJobFolders(); });
    QApplication::setQuitOnLastWindowClosed(false); // the window says when all has stopped
    // The one speech engine; it starts on its own thread while the window is built.
    vt::EspeakEngine engine;
    vt::QtDialogs dialogs;
    vt::Form1 window(engine, dialogs, [] { return QRandomGenerator::global()->bounded(1, 101); });
    dialogs.setOwner(&window);
    if (!window.Form_Load()) {
        return 0;
    }
    QObject::connect(&window, &vt::Form1::closed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    window.show();
    // Media keys and desktop players, when there is a session bus.
    const vt::MprisService mpris(window, QDBusConnection::sessionBus());
    // Export progress on the program's entry in the task manager or dock.
    window.publishExportProgress(QDBusConnection::sessionBus());
    // The end of an export on the desktop, for when the window is not in front.
    const vt::ExportNotifier notifier(window, dialogs, QDBusConnection::sessionBus());
    return app.exec();
}
