#pragma once

#include <cstdint>
#include <functional>

namespace runtime {

// Worker threads are started and forgotten: nothing ever waits for one. The
// registry only numbers them and remembers which are still running.

/// Starts `procedure` on a new thread and returns its number (1, 2, 3, ...;
/// never reused), or 0 when the thread could not be started. `name` (at most
/// 15 characters) is what process tools show for the thread. Finished
/// threads are released on the next call. Any thread.
int64_t ThreadStart(std::function<void()> procedure, const char* name = nullptr);

} // namespace runtime
