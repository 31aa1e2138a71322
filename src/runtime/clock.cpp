#include "runtime/clock.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace runtime {

namespace {

// One wake-up for all sleepers: stop flags change rarely (quit), so waking
// every sleeper to look at its own flag costs nothing worth a finer scheme.
std::mutex sleepLock;
std::condition_variable sleepWake;

} // namespace

int64_t ElapsedMs()
{
    static const auto start = std::chrono::steady_clock::now();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

void SleepMs(int64_t ms, const std::atomic<int64_t>* stop)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    std::unique_lock lock(sleepLock);
    sleepWake.wait_until(lock, deadline, [stop] { return stop != nullptr && stop->load() != 0; });
}

void WakeSleepers()
{
    // Taking the lock orders this after a sleeper's look at its flag, so the
    // notification cannot fall between that look and its wait.
    {
        const std::lock_guard lock(sleepLock);
    }
    sleepWake.notify_all();
}

} // namespace runtime
