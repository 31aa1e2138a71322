#pragma once

#include <functional>

namespace runtime {

/// Whether a StatusNotifier host runs on the desktop now: the watcher is on
/// the session bus and reports a host registered with it. False without a
/// session bus. GUI thread.
bool TrayHostPresent();

/// Calls `onAppeared` on the GUI thread whenever a StatusNotifier host comes
/// up (a panel started after the program, or one that restarted): the
/// watcher service gets an owner, or a host registers with it. Does nothing
/// without a session bus; a second call is ignored. GUI thread.
void WatchTrayHost(std::function<void()> onAppeared);

} // namespace runtime
