#pragma once

#include <QString>

class QWidget;

namespace ui {

// What the window system lets a program do with its own windows. On X11 a
// program places its windows and brings them to the front itself. On a
// Wayland compositor it can do neither: the compositor places every window
// (a dialog over its parent), reports no position, and lets a window come to
// the front only with an xdg-activation token that a launcher, the tray
// host or a second copy hands over.

/// Whether the windows are on a Wayland compositor. GUI thread, once the
/// application object exists.
bool OnWayland();

/// Whether the program can read and set where its top-level windows are on
/// the screen (false on Wayland). GUI thread.
bool WindowPlacementKnown();

/// Keeps `token` for the next time a window is brought to the front,
/// replacing one kept before; an unusable token is ignored. GUI thread.
void OfferActivationToken(const QString& token);

/// Notes that the top-level window `window` has just been shown after being
/// hidden: the compositor maps it a moment later. GUI thread.
void NoteWindowShown(QWidget* window);

/// Activates the top-level window of `widget`. On Wayland a token kept by
/// OfferActivationToken goes with the request; for a window shown moments
/// ago the request waits (up to 2 s) until the window is on the screen, as a
/// compositor ignores it before. GUI thread.
void ActivateWindow(QWidget* widget);

} // namespace ui
