#pragma once

#include <atomic>
#include <cstdint>

namespace runtime {

/// Milliseconds since the first call in the process; monotonic. Any thread.
int64_t ElapsedMs();

/// Sleeps `ms` milliseconds in one wait, ending early once `stop` (when
/// given) holds a value other than 0: whoever sets a stop flag calls
/// WakeSleepers. For worker threads: the GUI thread never sleeps. Any thread.
void SleepMs(int64_t ms, const std::atomic<int64_t>* stop = nullptr);

/// Makes every SleepMs look at its stop flag again; call it after setting
/// one. Any thread.
void WakeSleepers();

} // namespace runtime
