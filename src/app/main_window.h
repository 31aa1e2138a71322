#pragma once

#include <QString>

namespace app {

/// "Zorvane Software Updates and News v4.01  |  Zorvane.com".
QString MainWindowCaption();

/// Creates the hidden main window from the settings' geometry. False on failure.
bool CreateMainWindow();

/// Creates the hidden refreshing window and its label and icon. False on failure.
bool CreateRefreshingWindow();

/// Creates every control of the main window at its number, with its caption,
/// tooltip, font and accessible name; the installed-apps texts follow
/// UpdaterAvailable, so decide it first. False when any control could not be
/// made. GUI thread.
bool CreateMainWindowControls();

/// Shows the main window in front, restored from minimised or hidden to its
/// previous size and state (maximised stays maximised). Idempotent. GUI thread.
void ShowMainWindow();

/// The installed-apps texts for the three situations.
QString AppsButtonText();
QString AppsNoticeText();

} // namespace app
