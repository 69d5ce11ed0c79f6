// The job folder lock on POSIX systems: flock() on a file inside the folder.
#include "JobFolderLock.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vt {

namespace {

QByteArray nativeName(const QString& folder, const QString& name) {
    return QFile::encodeName(QDir(folder).filePath(name));
}

// Opens without following a link and without passing the handle to children
// (an encoder left running must not keep a dead job's lock).
int openLockFile(const QByteArray& path, int flags) {
    int handle = -1;
    do {
        handle = ::open(path.constData(), flags | O_RDWR | O_CLOEXEC | O_NOFOLLOW, 0600);
    } while (handle < 0 && errno == EINTR);
    return handle;
}

bool lockAtOnce(int handle) {
    int result = -1;
    do {
        result = ::flock(handle, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

} // namespace

JobFolderLock::JobFolderLock(const QString& folder) {
    const QString name = QString::fromLatin1(JobLockFileName);
    const QByteArray unready = nativeName(folder, name + QStringLiteral(".new"));
    const int handle = openLockFile(unready, O_CREAT | O_EXCL);
    if (handle < 0) {
        return;
    }
    if (lockAtOnce(handle) && ::rename(unready.constData(), nativeName(folder, name)) == 0) {
        m_handle = handle;
        return;
    }
    ::unlink(unready.constData());
    ::close(handle);
}

JobFolderLock::~JobFolderLock() {
    if (m_handle >= 0) {
        ::close(m_handle);
    }
}

bool JobFolderLock::isHeld() const {
    return m_handle >= 0;
}

bool isOwnFolder(const QString& path) {
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == ::getuid();
}

bool removeIfAbandoned(const QString& folder) {
    const int handle = openLockFile(nativeName(folder, QString::fromLatin1(JobLockFileName)), 0);
    if (handle < 0) {
        return false;
    }
    bool removed = false;
    if (lockAtOnce(handle)) {
        removed = QDir(folder).removeRecursively();
    }
    ::close(handle);
    return removed;
}

} // namespace vt
