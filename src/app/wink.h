#pragma once

#include <atomic>
#include <cstdint>

namespace app {

/// The x of WinkImage chosen by the last layout. Written by the GUI thread,
/// read by the wink animation.
inline std::atomic<int64_t> WinkX{0};

/// The wink animation: every 30 to 60 s the wink image blinks for 2 s. Runs
/// on its own thread until QuitRequested.
void WinkThread();

} // namespace app
