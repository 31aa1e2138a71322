#pragma once

#include <QRect>

#include <array>
#include <cstdint>

namespace app {

/// Where the settings window's controls 1 to 14 go at a given scale, and the
/// window's inner size. Rows accumulate: each y is the previous row's y plus
/// its step times the scale, rounded. Pure.
struct SettingsWindowLayout
{
    std::array<QRect, 15> controls; // index = control number; 0 unused
    int width = 0;
    int height = 0;
};
SettingsWindowLayout ComputeSettingsWindowLayout(double uiScale);

/// Creates the hidden settings window owned by the main window, with its
/// controls, captions and fonts. False on failure. GUI thread.
bool CreateSettingsWindow();

/// Sets the check boxes, and the platform box of the main window with its
/// tooltip, from the settings record. GUI thread.
void SetSettingsControls();

/// Disables the main window, centres the settings window over it (over the
/// screen when maximised), fills the two edit boxes and shows it. GUI thread.
void OpenSettingsWindow();

/// Hides the settings window, takes the refresh rate from its box (planning
/// the next automatic refresh when it changed), saves the settings and gives
/// the main window back its focus. GUI thread.
void CloseSettingsWindow();

/// What a click or another event on settings control `control` does: a check
/// box's setting takes the state the box shows and is saved at once, with what that setting needs done now; the two
/// edit boxes select their text on focus, and the alert names are taken over as typed. GUI thread.
void OnSettingsControl(int64_t control, int64_t type);

} // namespace app
