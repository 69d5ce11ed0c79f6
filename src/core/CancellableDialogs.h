#pragma once

#include "core/Dialogs.h"

#include <stop_token>

namespace vt {

// Passes every call on to target until a stop is requested; from then on
// nothing is shown and each call gives the answer of a cancelled dialog (No,
// ""). Lets a cancelled export wind down without waiting on a window that is
// closing.
class CancellableDialogs final : public DialogsRelay {
  public:
    CancellableDialogs(Dialogs& target, std::stop_token cancelled)
        : DialogsRelay(target), m_cancelled(std::move(cancelled)) {}

  private:
    void relay(const std::function<void()>& call) override {
        if (!m_cancelled.stop_requested()) {
            call();
        }
    }

    std::stop_token m_cancelled;
};

} // namespace vt
