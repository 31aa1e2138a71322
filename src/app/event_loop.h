#pragma once

#include <QString>

#include <cstdint>

namespace app {

/// The main loop: waits for the next event or the automatic refresh's
/// deadline, runs a due automatic refresh,
/// applies the picture tooltip and dispatches the event. Never returns; the
/// program ends through QuitApplication. GUI thread.
[[noreturn]] void RunEventLoop();

/// One pass of the main loop: waits for an event, a wake-up or the automatic
/// refresh's deadline, runs the automatic refresh when it is due, applies the
/// picture tooltip and dispatches the event. GUI thread.
void RunEventLoopPass();

/// One dispatch of an event (kind, window, object, type, key code). GUI thread.
void DispatchEvent(int32_t kind, int64_t window, int64_t object, int64_t type, int64_t param);

/// Whether F5 refreshes the content: the last queued event's window is the
/// main window, tab Today or Yesterday is selected, and the focus is on none
/// of our controls or on one of the search box, the content tabs, the two
/// day lists, the filter box or the two news lists. Pure.
bool F5RefreshesContent(int64_t lastEventWindow, int currentTab, int64_t focused);

/// Whether F5 runs the installed-apps check instead. Pure.
bool F5ChecksApps(int64_t lastEventWindow, int currentTab, bool updaterAvailable);

/// What closing the main window does: Shift held quits; with close-to-tray
/// on it hides, but only while a notification area can bring it back. Pure.
enum class CloseAction { Quit, Hide };
CloseAction DecideMainWindowClose(bool shiftHeld, int64_t closeToTray, bool trayShown);

} // namespace app
