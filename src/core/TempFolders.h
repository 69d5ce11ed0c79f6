#pragma once

#include <QString>
#include <memory>

class QTemporaryDir;

namespace vt {

// T: $TEMP when set and not empty, otherwise the system temporary folder.
QString temporaryRoot();

// A private folder inside T (owner-only, unique name), removed with all its
// contents when this object is destroyed.
class PrivateFolder {
  public:
    PrivateFolder();
    ~PrivateFolder();
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    bool isValid() const;
    // The folder's path, without a trailing separator.
    QString path() const;
    // A file inside the folder.
    QString filePath(const QString& name) const;

  private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

} // namespace vt
