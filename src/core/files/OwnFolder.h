#pragma once

#include <QByteArray>
#include <QString>

namespace vt {

// A folder of this user's, opened without following a link and held by its
// descriptor, so what is done inside it stays inside it even when its name is
// renamed or swapped for a link meanwhile.
class OwnFolder {
  public:
    OwnFolder() = default;
    // Opens the entry name of the open folder parent (not taken over).
    OwnFolder(int parent, const QByteArray& name);
    // Opens the folder at path.
    explicit OwnFolder(const QString& path);
    ~OwnFolder();
    OwnFolder(OwnFolder&& other) noexcept;
    OwnFolder& operator=(OwnFolder&& other) noexcept;
    OwnFolder(const OwnFolder&) = delete;
    OwnFolder& operator=(const OwnFolder&) = delete;

    // True when the entry was a folder (not a link) that belongs to this user.
    bool isOpen() const;
    int handle() const;

    // Removes what the folder holds, then the folder itself if its name still
    // means it. Links are removed, never followed; nothing on another file
    // system mounted inside is touched, and no mode is changed, so what cannot
    // be removed stays. True when the folder is gone.
    bool remove();

  private:
    void close();

    int m_parent = -1;
    int m_folder = -1;
    QByteArray m_name;
};

// Why private folders must not be made in root, or empty when they may: a
// folder other users may write in and that is not sticky lets them rename or
// swap what is in it.
QString sharedFolderProblem(const QString& root);

} // namespace vt
