#pragma once

#include <QString>

#include <memory>

namespace apptest {

/// Creates the program's real windows once per process, as start-up does:
/// 96-DPI display metrics, default settings, then the main window, the
/// refreshing window, the settings window and the main window's controls, all
/// hidden. Later calls only report the first outcome, since every number can
/// be taken only once. Needs a QApplication. GUI thread.
bool CreateProgramWindows();

/// The caption and text of a message box, once it has been seen.
struct BoxSeen
{
    QString title;
    QString text;
};

/// Closes the next message box with OK as soon as it shows, keeping its
/// texts. For code that shows a box while a test drives it. GUI thread.
std::shared_ptr<BoxSeen> CloseNextBox();

} // namespace apptest
