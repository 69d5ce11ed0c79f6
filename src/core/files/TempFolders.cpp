#include "TempFolders.h"

#include "JobFolderLock.h"
#include "OwnFolder.h"
#include "core/CoreLog.h"

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

PrivateFolder::PrivateFolder() : m_problem(sharedFolderProblem(temporaryRoot())) {
    if (!m_problem.isEmpty()) {
        qCWarning(coreLog).noquote() << "No private folder is made:" << m_problem;
        return;
    }
    QTemporaryDir made(
        QDir(temporaryRoot()).filePath(QString::fromLatin1(FolderPrefix) + "XXXXXX"));
    if (!made.isValid()) {
        return;
    }
    // From here on the folder is reached through its descriptor: its removal
    // stays inside it whatever happens to its name.
    made.setAutoRemove(false);
    m_path = made.path();
    m_folder = std::make_unique<OwnFolder>(m_path);
    if (m_folder->isOpen()) {
        m_lock = std::make_unique<JobFolderLock>(m_path);
    } else {
        QDir().rmdir(m_path);
        m_path.clear();
    }
}

PrivateFolder::~PrivateFolder() {
    // The folder goes first: while it is removed, its lock still says it is in use.
    if (isValid()) {
        m_folder->remove();
    }
    m_folder.reset();
    m_lock.reset();
}

bool PrivateFolder::isValid() const {
    return m_folder && m_folder->isOpen();
}

QString PrivateFolder::errorString() const {
    return m_problem;
}

QString PrivateFolder::path() const {
    return QDir::toNativeSeparators(m_path);
}

QString PrivateFolder::filePath(const QString& name) const {
    return QDir::toNativeSeparators(QDir(m_path).filePath(name));
}

} // namespace vt
