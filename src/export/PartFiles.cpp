#include "PartFiles.h"

namespace vt {

QString PartFilePath(const QString& base, int index, const QString& extension) {
    return base + QStringLiteral("%1").arg(index, 3, 10, QLatin1Char('0')) + extension;
}

} // namespace vt
