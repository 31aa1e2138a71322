#pragma once

#include <functional>

namespace runtime {

/// Calls `onAppeared` on the GUI thread whenever a notification-area host
/// registers on the desktop (a panel started after the program, or one that
/// restarted). Does nothing without a session bus; a second call is
/// ignored. GUI thread.
void WatchTrayHost(std::function<void()> onAppeared);

} // namespace runtime
