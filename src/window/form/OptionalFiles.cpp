#include "OptionalFiles.h"

#include "core/files/FileUtils.h"

#include <QDir>
#include <QFileInfo>

namespace vt {

QString installedDataFolder(const QString& programFolder) {
    // The build system gives the data folder relative to the program's folder,
    // so an installation can be moved (or unpacked anywhere) as a whole.
    return QDir::cleanPath(
        QDir(programFolder).filePath(QStringLiteral(VELLUMTONE_DATA_FROM_PROGRAM)));
}

QString optionalFilePath(const QString& relativePath, const QString& programFolder) {
    const QString beside = QDir(programFolder).filePath(relativePath);
    if (QFileInfo::exists(beside)) {
        return beside;
    }
    const QString installed = QDir(installedDataFolder(programFolder)).filePath(relativePath);
    return QFileInfo::exists(installed) ? installed : beside;
}

QString optionalFilePath(const QString& relativePath) {
    return optionalFilePath(relativePath, ApplicationFolder());
}

} // namespace vt
