#include "core/SerialWorker.h"

#include <condition_variable>
#include <gtest/gtest.h>
#include <latch>
#include <mutex>
#include <stdexcept>
#include <vector>

namespace vt {

TEST(SerialWorker, RunsRequestsInOrderAndReturnsTheirValues) {
    SerialWorker worker;
    std::vector<int> order; // touched by the worker only until the last wait
    std::vector<QFuture<int>> values;
    for (int i = 0; i < 20; ++i) {
        values.push_back(worker.post([&order, i](std::stop_token) {
            order.push_back(i);
            return i * i;
        }));
    }
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(SerialWorker::wait(values[i]), i * i);
    }
    std::vector<int> expected(20);
    for (int i = 0; i < 20; ++i) {
        expected[i] = i;
    }
    EXPECT_EQ(order, expected);
}

TEST(SerialWorker, RethrowsAFailureToItsCallerAndGoesOn) {
    SerialWorker worker;
    EXPECT_THROW(worker.call([](std::stop_token) -> int { throw std::runtime_error("no"); }),
                 std::runtime_error);
    EXPECT_EQ(worker.call([](std::stop_token) { return 7; }), 7);
}

TEST(SerialWorker, AStopReachesRunningWorkAndQueuedRequestsStillFinish) {
    std::latch running(1);
    QFuture<bool> longWork;
    QFuture<bool> queued;
    {
        SerialWorker worker;
        longWork = worker.post([&running](std::stop_token stop) {
            running.count_down();
            std::mutex mutex;
            std::condition_variable_any never;
            std::unique_lock lock(mutex);
            never.wait(lock, stop, [] { return false; }); // until the stop
            return true;
        });
        queued = worker.post([](std::stop_token stop) { return stop.stop_requested(); });
        running.wait();
    } // the destructor requests the stop and waits
    ASSERT_TRUE(longWork.isFinished());
    EXPECT_TRUE(SerialWorker::wait(longWork));
    EXPECT_TRUE(SerialWorker::wait(queued));
}

} // namespace vt
