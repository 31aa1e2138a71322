#pragma once

#include <atomic>
#include <cstdint>

namespace runtime {

// Process-wide flags. Each is written by one side (GUI thread or a worker) and
// polled by the other, so plain atomics suffice; nothing waits on them.

inline std::atomic<int64_t> QuitRequested{0};
inline std::atomic<int64_t> GuiReady{0};
inline std::atomic<int64_t> ContentRefreshBusy{0};
inline std::atomic<int64_t> AppsRefreshBusy{0};
inline std::atomic<int64_t> SettingsOpen{0};
inline std::atomic<int64_t> UpdaterAvailable{0};
inline std::atomic<int64_t> UpdaterUnsupported{0};
/// Millisecond tick at which the next automatic refresh is due.
inline std::atomic<int64_t> NextRefreshTime{0};
/// A picture of the day that was ready before start-up ended, waiting to be
/// shown. Set by the picture worker while GuiReady is still 0; whichever of
/// the worker and the GUI thread's end of start-up comes second takes it
/// (exchanges it back to 0) and shows the picture.
inline std::atomic<int64_t> PicturePending{0};

/// A content refresh or an installed-apps check is running. Any thread.
inline bool RefreshOrAppsBusy()
{
    return ContentRefreshBusy.load() != 0 || AppsRefreshBusy.load() != 0;
}

} // namespace runtime
