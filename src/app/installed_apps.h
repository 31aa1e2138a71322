#pragma once

#include <QString>

#include <cstdint>

namespace app {

/// The most lines AppsInfoBox keeps of an upgrade's log: the oldest go once
/// a tool prints more, so a flood of output costs bounded memory.
constexpr int AppsLogLineLimit = 5000;

// The "Installed Apps" tab: checking what the package manager lists,
// showing it, and upgrading what the user picks. Everything runs on the GUI
// thread and returns when the package manager has finished; events that
// arrive meanwhile are discarded, so nothing starts a second run inside one.

/// With `recheck`: a full check that runs the package manager's list, keeps
/// its lines and fills AppsList, with the busy captions, the refreshing
/// window and the blinking tray icon; a failed check (no output, an error
/// exit without a table, or a tool silent for two minutes) shows the
/// "Failure" box and the tool's last error lines, and keeps the lines of the
/// last good one. Without: only refills AppsList from those lines under the
/// current filter text.
void RefreshInstalledApps(bool recheck);

/// Puts the tab's controls back after a check: normal cursor, the check
/// button's caption, the selection button enabled only with rows, the
/// refreshing window hidden and "Ready." in the status line.
void FinishAppsCheck();

/// A selection change, click or double click (`type`) in AppsList: the
/// Start updates button follows the selection, and a double click on a red
/// row upgrades it.
void OnAppsListEvent(int64_t type);

/// Control+A in AppsList: selects every row.
void SelectAllApps();

/// SelectUpdatesButton: selects exactly the red rows.
void SelectAppsWithUpdates();

/// StartUpdatesButton: after the "Confirm" box when more or fewer than one
/// row is selected, upgrades every selected red row in list order. Several
/// keep one log, each application's output under a separator line, ended by a
/// line that says how many were updated and which failed.
void StartUpdates();

/// Upgrades one application with its output shown live in AppsInfoBox, which
/// it empties first; on success (the words and exit status 0) its row `row`
/// turns normal and shows `available` as installed.
void UpgradeApp(int64_t row, const QString& name, const QString& identifier, const QString& available);

} // namespace app
