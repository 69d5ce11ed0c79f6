#include "TempFolders.h"

#include "JobFolderLock.h"

#include <QDir>
#include <QTemporaryDir>

namespace vt {

namespace {

constexpr char FolderPrefix[] = "vellumtone-";

} // namespace

QString temporaryRoot() {
    const QString temp = qEnvironmentVariable("TEMP");
    return temp.isEmpty() ? QDir::tempPath() : temp;
}

PrivateFolder::PrivateFolder()
    : m_dir(std::make_unique<QTemporaryDir>(
          QDir(temporaryRoot()).filePath(QString::fromLatin1(FolderPrefix) + "XXXXXX"))) {
    if (m_dir->isValid()) {
        m_lock = std::make_unique<JobFolderLock>(m_dir->path());
    }
}

PrivateFolder::~PrivateFolder() {
    // The folder goes first: while it is removed, its lock still says it is in use.
    m_dir.reset();
    m_lock.reset();
}

bool PrivateFolder::isValid() const {
    return m_dir->isValid();
}

QString PrivateFolder::path() const {
    return QDir::toNativeSeparators(m_dir->path());
}

QString PrivateFolder::filePath(const QString& name) const {
    return QDir::toNativeSeparators(m_dir->filePath(name));
}

int RemoveAbandonedJobFolders() {
    const QDir root(temporaryRoot());
    // Exactly the names PrivateFolder gives, and among those only folders
    // carrying a lock file: others that merely look alike stay.
    const QStringList names = root.entryList({QString::fromLatin1(FolderPrefix) + "??????"},
                                             QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    int removed = 0;
    for (const QString& name : names) {
        const QString folder = root.filePath(name);
        if (isOwnFolder(folder) && removeIfAbandoned(folder)) {
            ++removed;
        }
    }
    return removed;
}

} // namespace vt
