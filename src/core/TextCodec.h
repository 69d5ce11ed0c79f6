#pragma once

#include <QByteArray>
#include <QString>

namespace vt {

// The single-byte code page used for text files (windows-1252).
QString decodeWindows1252(const QByteArray& bytes);
// Encodes text in windows-1252; false in *ok when a character does not fit.
QByteArray encodeWindows1252(const QString& text, bool* ok = nullptr);

// Loading a text file: UTF-8 when the bytes are valid UTF-8 (a BOM is dropped),
// otherwise windows-1252.
QString decodeTextFile(const QByteArray& bytes);
// Saving a text file: windows-1252 when every character fits, otherwise UTF-8,
// so no character is lost.
QByteArray encodeTextFile(const QString& text);

bool isValidUtf8(const QByteArray& bytes);

} // namespace vt

namespace vt {

// The character that code 0..255 denotes in windows-1252. The five codes the
// code page leaves undefined map to the C1 control of the same number, as
// browsers do.
char16_t windows1252Char(unsigned char code);
// The windows-1252 code of a character, or -1 when the code page lacks it.
int windows1252Code(char16_t c);

} // namespace vt
