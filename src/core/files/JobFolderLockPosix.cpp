// The job folder lock on POSIX systems: flock() on a file inside the folder.
#include "JobFolderLock.h"
#include "OwnFolder.h"
#include "TempFolders.h"
#include "core/CoreLog.h"

#include <QDir>
#include <QFile>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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

int openLockFileAt(int folder) {
    int handle = -1;
    do {
        handle = ::openat(folder, JobLockFileName, O_RDWR | O_CLOEXEC | O_NOFOLLOW);
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

// Exactly the names PrivateFolder gives: the prefix, then six letters or digits.
bool isJobFolderName(const char* name) {
    static constexpr char Prefix[] = "vellumtone-";
    constexpr size_t PrefixLength = sizeof Prefix - 1;
    if (std::strncmp(name, Prefix, PrefixLength) != 0 || std::strlen(name) != PrefixLength + 6) {
        return false;
    }
    for (const char* c = name + PrefixLength; *c; ++c) {
        if (!std::isalnum(static_cast<unsigned char>(*c)) || static_cast<unsigned char>(*c) > 127) {
            return false;
        }
    }
    return true;
}

// Removes the open folder when its lock file is held by no one, holding the
// lock meanwhile.
bool removeIfAbandoned(OwnFolder& folder) {
    if (!folder.isOpen()) {
        return false;
    }
    const int handle = openLockFileAt(folder.handle());
    if (handle < 0) {
        return false;
    }
    const bool removed = lockAtOnce(handle) && folder.remove();
    ::close(handle);
    return removed;
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
    return OwnFolder(path).isOpen();
}

bool removeIfAbandoned(const QString& folder) {
    OwnFolder held(folder);
    return removeIfAbandoned(held);
}

int RemoveAbandonedJobFolders() {
    const QString root = temporaryRoot();
    if (const QString problem = sharedFolderProblem(root); !problem.isEmpty()) {
        qCWarning(coreLog).noquote() << "Left folders are not removed:" << problem;
        return 0;
    }
    const int rootHandle =
        ::open(QFile::encodeName(root).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = rootHandle >= 0 ? ::fdopendir(::dup(rootHandle)) : nullptr;
    if (!dir) {
        if (rootHandle >= 0) {
            ::close(rootHandle);
        }
        return 0;
    }
    std::vector<QByteArray> names;
    while (const dirent* entry = ::readdir(dir)) {
        if (isJobFolderName(entry->d_name)) {
            names.emplace_back(entry->d_name);
        }
    }
    ::closedir(dir);
    int removed = 0;
    for (const QByteArray& name : names) {
        OwnFolder folder(rootHandle, name);
        removed += removeIfAbandoned(folder) ? 1 : 0;
    }
    ::close(rootHandle);
    return removed;
}

} // namespace vt
