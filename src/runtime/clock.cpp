#include "runtime/clock.h"

#include <chrono>
#include <thread>

namespace runtime {

int64_t ElapsedMs()
{
    static const auto start = std::chrono::steady_clock::now();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

void SleepMs(int64_t ms, const std::atomic<int64_t>* stop)
{
    const int64_t end = ElapsedMs() + ms;
    while (ElapsedMs() < end && (stop == nullptr || stop->load() == 0))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

} // namespace runtime
