#pragma once

#include <QString>

namespace vt {

// The optional files the window uses: the hand pointer picture and the skin.
inline constexpr char HandPointerFile[] = "HAND-M.CUR";
inline constexpr char SkinFile[] = "x/o.cjs";

// The installed data folder that belongs to a program in programFolder
// (<prefix>/share/vellumtone beside <prefix>/bin).
QString installedDataFolder(const QString& programFolder);

// Where an optional file is: beside the program when it is there, otherwise in
// the installed data folder when it is there; the path beside the program when
// it is in neither.
QString optionalFilePath(const QString& relativePath, const QString& programFolder);

// The same for this program.
QString optionalFilePath(const QString& relativePath);

} // namespace vt
