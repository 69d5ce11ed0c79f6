// Folders held by descriptor on POSIX systems: every step inside one goes
// through openat/unlinkat relative to a descriptor checked with fstat.
#include "OwnFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vt {

namespace {

// Deeper than any job folder gets; what lies deeper stays.
constexpr int MaxDepth = 64;

int openFolderAt(int parent, const char* name) {
    int handle = -1;
    do {
        handle = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    } while (handle < 0 && errno == EINTR);
    return handle;
}

std::vector<std::string> entryNames(int folder) {
    std::vector<std::string> names;
    // A descriptor of its own, so the listing's position is not shared.
    const int listing = openFolderAt(folder, ".");
    if (listing < 0) {
        return names;
    }
    DIR* dir = ::fdopendir(listing);
    if (!dir) {
        ::close(listing);
        return names;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    }
    ::closedir(dir);
    return names;
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Removes every entry of the open folder, which is on device. True when all went.
bool removeContents(int folder, dev_t device, int depth) {
    bool all = true;
    for (const std::string& name : entryNames(folder)) {
        struct stat entry {};
        if (::fstatat(folder, name.c_str(), &entry, AT_SYMLINK_NOFOLLOW) != 0) {
            all = all && errno == ENOENT;
            continue;
        }
        if (entry.st_dev != device) { // a mount point: its file system stays whole
            all = false;
            continue;
        }
        if (!S_ISDIR(entry.st_mode)) {
            if (::unlinkat(folder, name.c_str(), 0) != 0 && errno != ENOENT) {
                all = false;
            }
            continue;
        }
        const int sub = depth < MaxDepth ? openFolderAt(folder, name.c_str()) : -1;
        struct stat opened {};
        bool emptied = false;
        if (sub >= 0 && ::fstat(sub, &opened) == 0 && sameFile(opened, entry)) {
            emptied = removeContents(sub, device, depth + 1);
        }
        if (sub >= 0) {
            ::close(sub);
        }
        if (!emptied || ::unlinkat(folder, name.c_str(), AT_REMOVEDIR) != 0) {
            all = false;
        }
    }
    return all;
}

} // namespace

OwnFolder::OwnFolder(int parent, const QByteArray& name) : m_name(name) {
    m_parent = openFolderAt(parent, ".");
    m_folder = m_parent >= 0 ? openFolderAt(parent, name.constData()) : -1;
    struct stat status {};
    if (m_folder < 0 || ::fstat(m_folder, &status) != 0 || !S_ISDIR(status.st_mode) ||
        status.st_uid != ::geteuid()) {
        close();
    }
}

OwnFolder::OwnFolder(const QString& path) {
    const QFileInfo info(path);
    const int parent = openFolderAt(AT_FDCWD, QFile::encodeName(info.absolutePath()).constData());
    if (parent >= 0) {
        *this = OwnFolder(parent, QFile::encodeName(info.fileName()));
        ::close(parent);
    }
}

OwnFolder::~OwnFolder() {
    close();
}

OwnFolder::OwnFolder(OwnFolder&& other) noexcept
    : m_parent(std::exchange(other.m_parent, -1)), m_folder(std::exchange(other.m_folder, -1)),
      m_name(std::move(other.m_name)) {}

OwnFolder& OwnFolder::operator=(OwnFolder&& other) noexcept {
    if (this != &other) {
        close();
        m_parent = std::exchange(other.m_parent, -1);
        m_folder = std::exchange(other.m_folder, -1);
        m_name = std::move(other.m_name);
    }
    return *this;
}

void OwnFolder::close() {
    for (int* handle : {&m_folder, &m_parent}) {
        if (*handle >= 0) {
            ::close(*handle);
            *handle = -1;
        }
    }
}

bool OwnFolder::isOpen() const {
    return m_folder >= 0;
}

int OwnFolder::handle() const {
    return m_folder;
}

bool OwnFolder::remove() {
    struct stat held {};
    if (!isOpen() || ::fstat(m_folder, &held) != 0 || !removeContents(m_folder, held.st_dev, 0)) {
        return false;
    }
    // The name goes only while it still names the folder emptied here.
    struct stat named {};
    const bool removed =
        ::fstatat(m_parent, m_name.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
        sameFile(named, held) && ::unlinkat(m_parent, m_name.constData(), AT_REMOVEDIR) == 0;
    close();
    return removed;
}

QString sharedFolderProblem(const QString& root) {
    struct stat status {};
    if (::stat(QFile::encodeName(root).constData(), &status) != 0 || !S_ISDIR(status.st_mode)) {
        return {}; // making the folder fails and says so
    }
    if (status.st_uid != ::geteuid() && status.st_uid != 0) {
        return QStringLiteral("the temporary folder \"%1\" belongs to another user, who could "
                              "swap the program's files there; set TEMP to a folder of your own")
            .arg(QDir::toNativeSeparators(root));
    }
    if ((status.st_mode & (S_IWGRP | S_IWOTH)) == 0 || (status.st_mode & S_ISVTX) != 0) {
        return {};
    }
    return QStringLiteral("the temporary folder \"%1\" may be written by other users and is not "
                          "sticky, so they could swap the program's files there; set TEMP to a "
                          "folder of your own")
        .arg(QDir::toNativeSeparators(root));
}

} // namespace vt
