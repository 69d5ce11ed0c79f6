#include "TestEnvironment.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>

namespace vt::test {

namespace {
QTemporaryDir* sandbox = nullptr;
}

void isolateEnvironment() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    sandbox = new QTemporaryDir(QDir::tempPath() + "/vellumtone-test-XXXXXX");
    const QString root = sandbox->path();
    QDir(root).mkpath("config");
    QDir(root).mkpath("temp");
    QDir(root).mkpath("Desktop");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root + "/config"));
    qputenv("TEMP", QFile::encodeName(root + "/temp"));
    // The desktop folder comes from user-dirs.dirs, as on a real desktop.
    QFile dirs(root + "/config/user-dirs.dirs");
    if (dirs.open(QIODevice::WriteOnly)) {
        dirs.write("XDG_DESKTOP_DIR=\"" + QFile::encodeName(root) + "/Desktop\"\n");
    }
    std::atexit([] { delete sandbox; });
}

QString sandboxFolder() {
    return sandbox ? sandbox->path() : QString();
}

void clearSettings() {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Quillmere", "Vellumtone");
    settings.clear();
    settings.sync();
}

bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QTest::qWait(5);
    }
    return true;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(bytes);
    }
}

} // namespace vt::test
