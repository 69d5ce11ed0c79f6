#include "sources/RenderPool.h"

#include <QThreadPool>

namespace vt {

Q_GLOBAL_STATIC(QThreadPool, pool)

QThreadPool* renderPool() {
    return pool();
}

} // namespace vt
