#include "Encoder.h"

#include <QStandardPaths>

namespace vt {

QString findEncoder() {
    return QStandardPaths::findExecutable(QString::fromLatin1(EncoderProgramName));
}

} // namespace vt
