#pragma once

namespace apptest {

/// Creates the program's real windows once per process, as start-up does:
/// 96-DPI display metrics, default settings, then the main window, the
/// refreshing window, the settings window and the main window's controls, all
/// hidden. Later calls only report the first outcome, since every number can
/// be taken only once. Needs a QApplication. GUI thread.
bool CreateProgramWindows();

} // namespace apptest
