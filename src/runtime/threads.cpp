#include "runtime/threads.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include <pthread.h>

namespace runtime {

namespace {

// Threads are detached at once: nothing ever waits for a worker, and a
// joinable thread left at process exit would abort the program.
struct ThreadEntry
{
    int64_t number = 0;
    std::shared_ptr<std::atomic<bool>> finished;
};

std::mutex registryLock;
std::vector<ThreadEntry> registry;
int64_t nextThreadNumber = 1;

} // namespace

int64_t ThreadStart(std::function<void()> procedure, const char* name)
{
    auto finished = std::make_shared<std::atomic<bool>>(false);
    try {
        std::thread([procedure = std::move(procedure), finished, name] {
            if (name != nullptr)
                pthread_setname_np(pthread_self(), name);
            procedure();
            finished->store(true);
        }).detach();
    } catch (const std::system_error&) {
        return 0; // no thread: nothing recorded, no number used
    }

    std::lock_guard lock(registryLock);
    std::erase_if(registry, [](const ThreadEntry& entry) { return entry.finished->load(); });
    const int64_t number = nextThreadNumber++;
    registry.push_back({number, std::move(finished)});
    return number;
}

} // namespace runtime
