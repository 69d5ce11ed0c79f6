#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vt {

class Dialogs;

// Chunk size of ReadFileToStringFSO: 2^16 characters.
inline constexpr qsizetype ReadChunkLength = 65536;

// Reads a text file as consecutive chunks of ReadChunkLength characters. It
// reports its own failures (steps 100-124); a missing file gives reports for
// the steps that fail and one empty chunk.
QStringList ReadFileToStringFSO(const QString& path, Dialogs& dialogs);

// Replaces the file by exactly the text (windows-1252, or UTF-8 when a
// character does not fit). Throws Failure.
void WriteTextToFile(const QString& text, const QString& path);

// The same for a job's own files (the page text file, the part files), which
// the next step reads back as UTF-8: always UTF-8, so a text that happens to
// fit windows-1252 does not reach the reader in another encoding.
void WriteJobTextFile(const QString& text, const QString& path);

// Writes the bytes unless a file already exists at the path. Throws Failure.
void WriteBytesToFile(const QByteArray& bytes, const QString& path);

// Never fail.
void DeleteFileQuiet(const QString& path);
bool FileExists(const QString& path);
bool FolderExists(const QString& path);

// The path before its last ".", unless that dot is the first character.
QString StripExtension(const QString& path);

// Cuts text into Len/size + 1 (rounded half to even) pieces of size characters;
// the text is consumed. A size of 0 throws.
QStringList SplitByLength(QString& text, qsizetype size);

// Special folder numbers as the shell numbers them; only the desktop (0) is known.
inline constexpr int DesktopFolderNumber = 0;
// The folder, or "" when it cannot be found.
QString GetSpecialFolder(int folderNumber);
// The desktop folder with a trailing separator. Throws when it cannot be found.
QString GetDesktopFolder();
// Where exports go until a folder is chosen, with a trailing separator: the
// desktop folder the desktop names (user-dirs.dirs), or the home folder when
// that folder does not exist, as on a fresh account without ~/Desktop.
QString DefaultOutputFolder();

// The folder that holds the program file.
QString ApplicationFolder();

// Appends the platform separator unless the path already ends with one.
QString withTrailingSeparator(const QString& folder);

} // namespace vt
