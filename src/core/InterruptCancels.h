#pragma once

#include <atomic>

namespace vt {

// While one lives, Ctrl+C and SIGTERM raise its flag instead of ending the
// process, so a command can cancel its work and remove what it made; the
// previous handlers come back when it goes. One at a time per process.
class InterruptCancels {
  public:
    InterruptCancels();
    ~InterruptCancels();
    InterruptCancels(const InterruptCancels&) = delete;
    InterruptCancels& operator=(const InterruptCancels&) = delete;

    const std::atomic_bool& flag() const;

  private:
    void (*m_int)(int) = nullptr;
    void (*m_term)(int) = nullptr;
};

} // namespace vt
