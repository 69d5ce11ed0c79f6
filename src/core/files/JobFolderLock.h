#pragma once

#include <QString>

namespace vt {

// The file inside a job folder whose lock says the folder's process still runs.
inline constexpr char JobLockFileName[] = "job.lock";

// The lock a running process holds on one of its job folders. The system
// releases it when the process ends, however it ends (kill -9 included), so a
// folder whose lock nobody holds was left by a process that is gone.
class JobFolderLock {
  public:
    // Makes the folder's lock file and holds its lock; the file only appears
    // under its name once locked, so no one can take a new folder for an
    // abandoned one.
    explicit JobFolderLock(const QString& folder);
    ~JobFolderLock();

    bool isHeld() const;

  private:
    Q_DISABLE_COPY_MOVE(JobFolderLock)

    int m_handle = -1;
};

// True when path is a folder (not a link) that belongs to this user.
bool isOwnFolder(const QString& path);

// Removes the folder when it carries a lock file that no process holds,
// holding the lock meanwhile; true when it was removed. A folder without a lock
// file, or whose lock is held, stays.
bool removeIfAbandoned(const QString& folder);

} // namespace vt
