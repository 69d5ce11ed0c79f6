#include "window/Form1.h"
#include "window/QtDialogs.h"
#include "core/TempFolders.h"
#include "export/SaveMp3Command.h"
#include "sources/PageTextCommand.h"
#include "speech/ListVoicesCommand.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QTextStream>
#include <QThreadPool>
#include <cstdio>
#include <cstring>

namespace {

// The headless commands: --list-voices, --text ADDRESS, --save-mp3 ADDRESS [...].
int runCommand(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QString command = args.takeFirst();
    int code = 2;
    if (command == "--list-voices" && args.isEmpty()) {
        code = vt::listVoicesCommand(out, err);
    } else if (command == "--text" && vt::isPageTextCommand(args)) {
        code = vt::pageTextCommand(args, out, err);
    } else if (command == "--save-mp3" && !args.isEmpty()) {
        code = vt::saveMp3Command(args, out, err);
    } else {
        err << "usage: vellumtone [--list-voices | --text ADDRESS [--article | --whole-page] | "
               "--save-mp3 ADDRESS [--folder DIR] [--voice N] [--volume V] [--rate R] "
               "[--article | --whole-page]]\n";
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
    vt::QtDialogs dialogs;
    vt::Form1 window(dialogs, [] { return QRandomGenerator::global()->bounded(1, 101); });
    dialogs.setOwner(&window);
    if (!window.Form_Load()) {
        return 0;
    }
    QObject::connect(&window, &vt::Form1::closed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    window.show();
    return app.exec();
}
