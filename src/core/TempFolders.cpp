#include "TempFolders.h"

#include <QDir>
#include <QTemporaryDir>

namespace vt {

QString temporaryRoot() {
    const QString temp = qEnvironmentVariable("TEMP");
    return temp.isEmpty() ? QDir::tempPath() : temp;
}

PrivateFolder::PrivateFolder()
    : m_dir(std::make_unique<QTemporaryDir>(QDir(temporaryRoot()).filePath("vellumtone-XXXXXX"))) {}

PrivateFolder::~PrivateFolder() = default;

bool PrivateFolder::isValid() const {
    return m_dir->isValid();
}

QString PrivateFolder::path() const {
    return QDir::toNativeSeparators(m_dir->path());
}

QString PrivateFolder::filePath(const QString& name) const {
    return QDir::toNativeSeparators(m_dir->filePath(name));
}

} // namespace vt
