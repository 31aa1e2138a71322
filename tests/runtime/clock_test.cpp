#include "runtime/clock.h"

#include <gtest/gtest.h>

#include <thread>

using namespace runtime;

TEST(Clock, SleepLastsAtLeastItsTimeUnlessStopped)
{
    std::atomic<int64_t> stop{0};
    const int64_t start = ElapsedMs();
    SleepMs(30, &stop);
    EXPECT_GE(ElapsedMs() - start, 30) << "a sleep ended early without a stop";

    // A stop set from another thread ends a long sleep; without it this test
    // would hang until the test run's time limit.
    std::thread stopper([&stop] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        stop = 1;
        WakeSleepers();
    });
    const int64_t longStart = ElapsedMs();
    SleepMs(600000, &stop);
    stopper.join();
    EXPECT_LT(ElapsedMs() - longStart, 600000) << "the stop flag was not looked at";

    const int64_t stoppedStart = ElapsedMs();
    SleepMs(600000, &stop); // already stopped: returns at once
    EXPECT_LT(ElapsedMs() - stoppedStart, 600000);
}
