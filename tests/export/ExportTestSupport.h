#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vt::test {

// A 22,050 Hz mono 16-bit WAV file holding a tone of the given length.
void writeToneWav(const QString& path, double seconds);

// The length of a PCM WAV file's audio, from its header; -1 when unreadable.
double wavSeconds(const QString& path);

// What mpg123 makes of an MP3 file.
struct DecodedMp3 {
    bool ok = false;
    double seconds = 0; // decoded length
    int sampleRate = 0;
    QString warnings; // decoder lines about damaged or foreign data
};
DecodedMp3 decodeMp3(const QString& path);

// The private folders exports left in the temporary folder.
QStringList leftoverJobFolders();

// A folder with an executable script `name` in it, for PATH.
QString makeScriptFolder(const QString& parent, const QString& name, const QByteArray& body);

// Children of this process with the given program name that are still running.
int runningChildren(const QString& programName);

// Sets PATH for the lifetime of the object.
class ScopedPath {
  public:
    explicit ScopedPath(const QString& path);
    ~ScopedPath();
    ScopedPath(const ScopedPath&) = delete;
    ScopedPath& operator=(const ScopedPath&) = delete;

  private:
    QByteArray m_saved;
};

} // namespace vt::test
