#pragma once

#include <functional>

namespace runtime {

/// Whether a StatusNotifier host runs on the desktop now, as the watcher last
/// said: its answer to WatchTrayHost's question, then its signals. Never asks
/// the host itself, so it cannot wait on a host that is reading the item.
/// Until the first answer is in, waits for it (at most 1 s) while the GUI
/// thread goes on with its events. False without a session bus or before
/// WatchTrayHost. GUI thread.
bool TrayHostPresent();

/// Starts following the StatusNotifier host: asks the watcher once whether a
/// host is registered, then follows the watcher coming and going and hosts
/// registering and leaving. Calls `onAppeared` on the GUI thread whenever a
/// host comes up (a panel started after the program, one that restarted, a
/// second panel). Does nothing without a session bus; a second call is
/// ignored. GUI thread.
void WatchTrayHost(std::function<void()> onAppeared);

} // namespace runtime
