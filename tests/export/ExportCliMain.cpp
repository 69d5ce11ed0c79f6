// The headless export as a program of its own, so tests can run it where the
// test process cannot go (a mount namespace with a tiny file system).
#include "commands/SaveMp3Command.h"
#include "speech/engine/EspeakEngine.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    vt::EspeakEngine engine;
    return vt::saveMp3Command(engine, QCoreApplication::arguments(), out, err);
}
