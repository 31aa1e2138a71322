#pragma once

#include <atomic>
#include <cstdint>

namespace runtime {

/// Milliseconds since the first call in the process; monotonic. Any thread.
int64_t ElapsedMs();

/// Sleeps `ms` milliseconds in 1 ms steps, ending early once `stop` (when
/// given) holds a value other than 0. For worker threads: the GUI thread
/// never sleeps. Any thread.
void SleepMs(int64_t ms, const std::atomic<int64_t>* stop = nullptr);

} // namespace runtime
