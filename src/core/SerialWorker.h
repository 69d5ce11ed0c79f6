#pragma once

#include <QFuture>
#include <QPromise>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <thread>
#include <type_traits>

namespace vt {

// One thread of its own that takes requests in the order they were posted.
// Each request's value (or the exception it threw) comes back through a
// QFuture. Each request is given the worker's stop token: a stop request ends
// long work early, and the requests still queued then run with the token
// stopped, so every future finishes. The destructor requests a stop and waits
// for the thread.
class SerialWorker {
  public:
    SerialWorker();
    ~SerialWorker();
    SerialWorker(const SerialWorker&) = delete;
    SerialWorker& operator=(const SerialWorker&) = delete;

    template <typename Work> auto post(Work work) {
        using Result = std::invoke_result_t<Work&, std::stop_token>;
        auto promise = std::make_shared<QPromise<Result>>();
        QFuture<Result> future = promise->future();
        enqueue([promise, work = std::move(work)](std::stop_token stop) mutable {
            promise->start();
            try {
                if constexpr (std::is_void_v<Result>) {
                    work(stop);
                } else {
                    promise->addResult(work(stop));
                }
            } catch (...) {
                promise->setException(std::current_exception());
            }
            handOver();
            promise->finish();
        });
        return future;
    }

    // Posts work and waits for its value; rethrows what it threw. Never call
    // it from a request: the thread would wait for itself.
    template <typename Work> auto call(Work work) { return wait(post(std::move(work))); }

    template <typename Result> static Result wait(QFuture<Result> future) {
        future.waitForFinished(); // rethrows the request's exception
        takeOver();
        if constexpr (!std::is_void_v<Result>) {
            return future.result();
        }
    }

    void requestStop() { m_thread.request_stop(); }

  private:
    void enqueue(std::function<void(std::stop_token)> request);
    void run(std::stop_token stop);
    // Qt hands the value over under locks a thread checker cannot see; these
    // tell it that the request happened before its caller goes on.
    static void handOver();
    static void takeOver();

    std::mutex m_mutex;
    std::condition_variable_any m_wake;
    std::deque<std::function<void(std::stop_token)>> m_requests;
    std::jthread m_thread; // last: it starts once the queue exists
};

} // namespace vt
