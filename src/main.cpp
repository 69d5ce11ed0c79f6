#include "export/SaveMp3Command.h"
#include "sources/PageTextCommand.h"
#include "speech/EspeakEngine.h"
#include "speech/ListVoicesCommand.h"
#include "window/Form1.h"
#include "window/QtDialogs.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QTextStream>
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
        vt::EspeakEngine engine;
        code = vt::listVoicesCommand(engine, out, err);
    } else if (command == "--text" && args.size() == 1) {
        code = vt::printPageTextCommand(args.first(), out, err);
    } else if (command == "--save-mp3" && !args.isEmpty()) {
        vt::EspeakEngine engine;
        code = vt::saveMp3Command(engine, args, out, err);
    } else {
        err << "usage: vellumtone [--list-voices | --text ADDRESS | --save-mp3 ADDRESS "
               "[--folder DIR] [--voice N] [--volume V] [--rate R]]\n";
    }
    out.flush();
    err.flush();
    return code;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strncmp(argv[1], "--", 2) == 0) {
        return runCommand(argc, argv);
    }
    QApplication app(argc, argv);
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
    return app.exec();
}
