#pragma once

namespace app {

/// Disables the main window, centres the settings window over it (over the
/// screen when maximised), fills the two edit boxes and shows it. GUI thread.
void OpenSettingsWindow();

/// Hides the settings window, takes the refresh rate from its box (planning
/// the next automatic refresh when it changed), saves the settings and gives
/// the main window back its focus. GUI thread.
void CloseSettingsWindow();

} // namespace app
