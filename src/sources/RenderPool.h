#pragma once

class QThreadPool;

namespace vt {

// Threads for decoding and rendering fetched pages. Its tasks never wait for
// anything, so a thread that waits for one of them cannot starve it.
QThreadPool* renderPool();

} // namespace vt
