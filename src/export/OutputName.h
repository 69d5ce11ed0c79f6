#pragma once

#include <QString>

namespace vt {

// The characters file names forbid, removed from the address one after another
// in this order to name the MP3 file.
inline constexpr char ForbiddenNameCharacters[] = "/\\*:?<>|";

// The longest file name, in bytes, the final MP3 may have: the file system's
// 255 less the 7 that the atomic write's temporary sibling ("name.XXXXXX")
// adds to it.
inline constexpr int MaxMp3NameBytes = 255 - 7;

// Removes every occurrence of one character (exact, case-sensitive).
QString RemoveCharacter(const QString& text, char character);

// Removes double quotes and control characters, which the file system accepts
// but which make a file name unsafe to hand around.
QString RemoveQuotesAndControls(const QString& text);

// The final file: the folder text followed directly by the cleaned address and
// ".mp3" (no separator is put in between, so a folder text without a trailing
// separator names a file beside that folder). The address is cut at its end so
// the file name fits MaxMp3NameBytes.
QString FinalMp3Path(const QString& folderText, const QString& cleanedAddress);

// The address cleaned of every character a file name should not hold.
QString SanitiseAddress(const QString& address);

} // namespace vt
