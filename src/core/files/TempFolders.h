#pragma once

#include <QString>
#include <memory>

namespace vt {

class JobFolderLock;
class OwnFolder;

// T: $TEMP when set and not empty, otherwise the system temporary folder.
QString temporaryRoot();

// A private folder inside T (owner-only, unique name "vellumtone-XXXXXX"),
// removed with all its contents when this object is destroyed (links inside
// are removed, never followed). The process
// holds the folder's lock while the object lives, so a folder left behind by
// a process that crashed or was killed can be told from a working one.
class PrivateFolder {
  public:
    PrivateFolder();
    ~PrivateFolder();
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    bool isValid() const;
    // Why no folder was made when the temporary folder itself is refused
    // (see sharedFolderProblem), else empty.
    QString errorString() const;
    // The folder's path, without a trailing separator.
    QString path() const;
    // A file inside the folder.
    QString filePath(const QString& name) const;

  private:
    QString m_problem;
    QString m_path;
    std::unique_ptr<OwnFolder> m_folder;
    std::unique_ptr<JobFolderLock> m_lock;
};

// Removes this user's private folders in T whose process is gone (their lock
// is held by no one). Working folders of other runs of the program, folders
// without a lock file, names that merely look alike, and anything else in T
// stay; a T others may swap entries in is not swept. Returns how many were removed.
int RemoveAbandonedJobFolders();

} // namespace vt
