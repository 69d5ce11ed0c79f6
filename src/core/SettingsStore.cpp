#include "SettingsStore.h"

#include "CoreLog.h"
#include "Failure.h"
#include "NumberText.h"

#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <cerrno>
#include <mutex>
#include <sys/stat.h>

namespace vt {

namespace {
constexpr char Organisation[] = "Quillmere";
constexpr char Application[] = "Vellumtone";
constexpr char Group[] = "Vellumtone";

// Far more than the few keys ever stored; a bigger file is not ours to read.
constexpr qint64 MaxSettingsFileBytes = 1024 * 1024;

// Where QSettings keeps the user's file; found without making a QSettings,
// which reads the file as it is made.
QString settingsFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' +
           QLatin1StringView(Organisation) + u'/' + QLatin1StringView(Application) +
           QStringLiteral(".conf");
}

// Whether the settings file may be read and written: absent (it is made on
// the first write), or a regular file of at most MaxSettingsFileBytes. A FIFO
// there would block every start; a huge file would take seconds and memory.
bool usableSettingsFile() {
    const QString file = settingsFilePath();
    struct stat status {};
    const QByteArray path = QFile::encodeName(file);
    if (::stat(path.constData(), &status) != 0) {
        return errno == ENOENT;
    }
    if (S_ISREG(status.st_mode) && status.st_size <= MaxSettingsFileBytes) {
        return true;
    }
    static std::once_flag warned;
    std::call_once(warned, [&] {
        qCWarning(coreLog).noquote()
            << QStringLiteral("The settings file \"%1\" is not a regular file of at most 1 MB; "
                              "it is left as it is and the defaults are used.")
                   .arg(file);
    });
    return false;
}

} // namespace

QString SettingsStore::read(const QString& key, const QString& defaultValue) const {
    if (!usableSettingsFile()) {
        return defaultValue;
    }
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, Organisation, Application);
    settings.beginGroup(Group);
    const QVariant value = settings.value(key);
    return value.isValid() ? value.toString() : defaultValue;
}

void SettingsStore::write(const QString& key, const QString& value) {
    if (!usableSettingsFile()) {
        return;
    }
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, Organisation, Application);
    settings.beginGroup(Group);
    settings.setValue(key, value);
    settings.endGroup();
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        throw Failure(QStringLiteral("The setting \"%1\" could not be stored in %2")
                          .arg(key, settings.fileName()));
    }
}

int SettingsStore::readWholeNumber(const QString& key, const QString& defaultValue) const {
    return roundHalfEven(Val(read(key, defaultValue)));
}

} // namespace vt
