#pragma once

#include <atomic>

namespace vt {

// The stop flag of the page text being made on this thread, for the length of
// one page: styling and the walk over the tree look at it as they go, so a
// page stopped at the time limit stops taking a core.
class RenderStopScope {
  public:
    explicit RenderStopScope(const std::atomic_bool* stop);
    ~RenderStopScope();
    RenderStopScope(const RenderStopScope&) = delete;
    RenderStopScope& operator=(const RenderStopScope&) = delete;

  private:
    const std::atomic_bool* m_outer;
};

// Throws a Failure ("making its text was stopped") once the page text under
// way on this thread has been asked to stop. Cheap enough to call per element
// and per selector: the flag is read every few hundred calls.
void checkRenderStop();

} // namespace vt
