#pragma once

#include <QFile>
#include <QString>

namespace vt {

// A file written beside its target under a fresh name ("target.XXXXXX") and
// then renamed onto the target in one step. Until commit() the target stays as
// it was; a failure or a destruction before commit() leaves nothing behind.
// The rename replaces the target's name itself: a symbolic link found there
// (dangling or not) is replaced by the file, never written through, so nothing
// outside the target's folder is touched. An earlier regular file keeps its
// permissions; a new file gets the usual ones (the umask applies).
class ReplacingFile {
  public:
    explicit ReplacingFile(const QString& target);
    ~ReplacingFile();

    bool open();
    QIODevice& device() { return m_file; }
    // Writes the data through to the disk and puts the file in the target's place.
    bool commit();
    // Drops the unfinished file; the target stays as it was.
    void cancelWriting();
    QString errorString() const { return m_error; }

  private:
    Q_DISABLE_COPY_MOVE(ReplacingFile)

    bool fail(const QString& reason);

    QString m_target;
    QFile m_file;
    QString m_error;
    bool m_created = false; // the temporary file is ours to remove
};

} // namespace vt
