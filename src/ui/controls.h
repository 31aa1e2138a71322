#pragma once

#include "ui/control_types.h"
#include "ui/images.h"

#include <QColor>
#include <QRect>
#include <QString>

#include <cstdint>

class QWidget;

namespace ui {

// Windows and controls are created once and then addressed by number. Every
// operation may be called from any thread: it is carried out on the GUI
// thread, in call order, while the caller waits. Unknown numbers are ignored
// (queries then give an empty or zero result).

/// Creates a hidden top-level window with the given inner geometry (pixels).
/// False when the number is taken or the owner is unknown.
bool CreateWindow(int64_t number, const QString& caption, WindowStyle style, const QRect& inner, int64_t owner = -1);

/// Creates a control at `geometry` (pixels, parent coordinates), visible
/// within its hidden window. `spokenName` is what a screen reader calls it
/// ("Today's files"); empty lets its caption speak. A label given a spoken
/// name exposes its text as its description, also after SetText.
bool CreateControl(int64_t number, ControlKind kind, Parent parent, const QRect& geometry, const QString& text,
                   const QString& spokenName);

/// The widget behind a number, for the window layer's own checks; null when
/// unknown. GUI thread only.
QWidget* Widget(int64_t number);

/// Whether Tab stops at control `number` (its own default otherwise).
void SetTabStop(int64_t number, bool stop);

/// Number of the window that holds `number` (itself for a window); -1 if unknown.
int64_t WindowOf(int64_t number);

/// Every number in use, ascending.
QList<int64_t> Numbers();

void SetText(int64_t number, const QString& text);
QString Text(int64_t number);
void SetTooltip(int64_t number, const QString& tooltip);
QString Tooltip(int64_t number);
void SetFont(int64_t number, FontKind font);
FontKind Font(int64_t number);

/// Loads the controls' fonts and readies text shaping for them, which the
/// first control with text would otherwise do while it is made. GUI thread,
/// once the application object exists.
void PreloadFonts();

/// Check state of a check box (0/1); current index of a combo or tab control.
void SetState(int64_t number, int64_t state);
int64_t State(int64_t number);

/// Shows an image; an image control takes the size of its picture, in
/// logical pixels. An image is drawn for the control's screen (see
/// ui/pixel_ratio.h); a picture keeps the device pixel ratio it carries.
void SetImage(int64_t number, ImageId image);
void SetPicture(int64_t number, const QPixmap& picture);
/// Shows a picture drawn off the GUI thread (a QImage may be made anywhere,
/// a QPixmap only on the GUI thread).
void SetPictureImage(int64_t number, const QImage& picture);
/// The picture an image control shows (null when none).
QPixmap Picture(int64_t number);
/// Alignment of a label's text.
void SetAlignment(int64_t number, Qt::Alignment alignment);
void SetEnabled(int64_t number, bool enabled);
bool IsEnabled(int64_t number);
void SetVisible(int64_t number, bool visible);
bool IsVisible(int64_t number);

/// Position and size in parent coordinates; for windows the inner area in
/// screen coordinates.
void SetGeometry(int64_t number, const QRect& geometry);
/// Moves a control, or a window where the program places its windows (not on
/// Wayland: see ui/window_system.h).
void Move(int64_t number, int x, int y);
void Resize(int64_t number, int width, int height);
QRect Geometry(int64_t number);

/// Outer rectangle of a window, frame included, in screen coordinates.
QRect OuterGeometry(int64_t number);

/// Raises a control above its overlapping siblings ("kept on top").
void Raise(int64_t number);

/// Background and text colour; an invalid QColor restores the default.
void SetColours(int64_t number, const QColor& back, const QColor& text);
QColor BackColour(int64_t number);
QColor TextColour(int64_t number);

/// Border looks: "none", "black", "raised", "sunken", "thin" (any other word
/// gives "thin"), compared without regard to case.
void SetBorder(int64_t number, const QString& look);
QString Border(int64_t number);

/// Cue text of an edit box, shown while it is empty, also when focused.
void SetCueText(int64_t number, const QString& cue);
/// Limits an edit box to digits and to `maxLength` characters.
void SetDigitsOnly(int64_t number, int maxLength);

/// Stops and resumes the drawing of a window or control.
void SuspendDrawing(int64_t number);
void ResumeDrawing(int64_t number);

/// Selects all the text of an edit box.
void SelectAllText(int64_t number);

/// The number of our control (or window) under the mouse pointer; -1.
int64_t ControlUnderMouse();

/// Gives the control the keyboard focus; the number of the focused control
/// (-1 when none of ours).
void SetFocus(int64_t number);
int64_t FocusedControl();

/// Window states.
void ShowWindow(int64_t number);
void ShowMaximized(int64_t number);
void ShowNormal(int64_t number);
/// Shows a window and undoes a minimise, back to the state it had before:
/// a window maximised before it was minimised or hidden comes back maximised.
void ShowRestored(int64_t number);
void HideWindow(int64_t number);
bool IsMaximized(int64_t number);
bool IsMinimized(int64_t number);
void SetMinimumInnerSize(int64_t number, int width, int height);
void SetWindowIcon(int64_t number, ImageId image);
/// Raises and activates a window; on Wayland with the token offered for it
/// (ui/window_system.h).
void BringToFront(int64_t number);
/// Number of our window that is active (foreground), -1 when none.
int64_t ForegroundWindow();

enum class CursorShape { Arrow, Hand, Wait };
void SetCursor(CursorShape shape);

} // namespace ui
