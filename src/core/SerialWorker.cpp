#include "SerialWorker.h"

#if defined(__SANITIZE_THREAD__)
#define VT_THREAD_CHECKER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define VT_THREAD_CHECKER 1
#endif
#endif

#ifdef VT_THREAD_CHECKER
#include <sanitizer/tsan_interface.h>
#endif

namespace vt {

namespace {
#ifdef VT_THREAD_CHECKER
char handOverTag;
#endif
} // namespace

SerialWorker::SerialWorker() : m_thread([this](std::stop_token stop) { run(stop); }) {}

SerialWorker::~SerialWorker() {
    m_thread.request_stop();
    m_thread.join();
}

void SerialWorker::enqueue(std::function<void(std::stop_token)> request) {
    {
        std::lock_guard lock(m_mutex);
        m_requests.push_back(std::move(request));
    }
    m_wake.notify_all();
}

void SerialWorker::run(std::stop_token stop) {
    for (;;) {
        std::function<void(std::stop_token)> request;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, stop, [&] { return !m_requests.empty(); });
            if (m_requests.empty()) {
                return; // stopped, and every request has run
            }
            request = std::move(m_requests.front());
            m_requests.pop_front();
        }
        request(stop);
    }
}

void SerialWorker::handOver() {
#ifdef VT_THREAD_CHECKER
    __tsan_release(&handOverTag);
#endif
}

void SerialWorker::takeOver() {
#ifdef VT_THREAD_CHECKER
    __tsan_acquire(&handOverTag);
#endif
}

} // namespace vt
