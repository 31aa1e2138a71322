#pragma once

#include <QPoint>

namespace app {

/// Adds the tray icon with its tooltip and builds the tray menu; starts
/// watching for a tray host that appears later. False only when the menu
/// cannot be made: a desktop without a notification area is not a failure
/// (see TrayShown). GUI thread.
bool CreateTray();

/// True while the icon is in a notification area, so a hidden main window
/// can be brought back from it. Without one, closing quits and the window
/// is not started hidden. GUI thread.
bool TrayShown();

/// Brings the items whose state depends on the updater in line and offers
/// the menu to a host that shows it itself. GUI thread.
void UpdateTrayMenu();

/// Shows the tray menu one pixel up and left of `mouse`; the choice arrives
/// as a menu event. GUI thread.
void ShowTrayMenu(QPoint mouse);

/// Adds the icon again with the normal image, the menu and the title as
/// tooltip, after the tray host came (back). GUI thread.
void RecreateTrayIcon();

/// Says "(Refreshing)" in the tooltip and starts TrayBusyAnimation for a job
/// that has just set its busy flag, unless one already runs: that one then
/// blinks for this job too. True when a new one was started. GUI thread.
bool StartTrayBusyAnimation();

/// Puts back the tooltip the icon shows between jobs, once a content refresh
/// or an apps check has ended: the latest headline the last content refresh
/// found, else the program's title. GUI thread.
void ShowRestingTrayTooltip();

/// Blinks the tray icon while a refresh or an apps check is busy, and puts
/// the normal image back after. Runs on its own thread, started by
/// StartTrayBusyAnimation; ends by itself when both are done.
void TrayBusyAnimation();

/// How many TrayBusyAnimation blinkers run now. Any thread.
int TrayBlinkersRunning();

} // namespace app
