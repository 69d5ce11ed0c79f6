#include "sources/reader/ReadPool.h"

#include <QThread>
#include <QThreadPool>
#include <algorithm>

namespace vt {

namespace {

// A read spends most of its time waiting for the network, so there are more
// threads than cores: a slow server does not hold up the next page.
constexpr int ReadThreads = 8;

struct ReadPool : QThreadPool {
    ReadPool() { setMaxThreadCount(std::max(ReadThreads, QThread::idealThreadCount())); }
};

Q_GLOBAL_STATIC(ReadPool, pool)

} // namespace

QThreadPool* pageReadPool() {
    return pool();
}

} // namespace vt
