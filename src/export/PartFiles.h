#pragma once

#include <QString>

namespace vt {

// The name of part `index` of a text: base (the text's path without its
// extension), the index with at least three digits, then the extension, as in
// base + "001" + ".wav".
QString PartFilePath(const QString& base, int index, const QString& extension);

} // namespace vt
