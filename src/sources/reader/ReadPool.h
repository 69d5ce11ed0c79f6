#pragma once

class QThreadPool;

namespace vt {

// Threads for reading pages in the background (readPageAsync): each waits
// for its transfer, which runs on the fetch thread, then makes the text.
QThreadPool* pageReadPool();

} // namespace vt
