#pragma once

#include <QLabel>
#include <QTabWidget>
#include <QWidget>

#include <cstdint>
#include <functional>

// Widget classes that turn the toolkit's own notifications into the
// program's events. Internal to the toolkit layer.

namespace ui {

/// A top-level window: closing it raises EvCloseWindow instead of closing;
/// moves, resizes and state changes reach the geometry handler. Its controls
/// sit on a content area that fills it, so that disabling the window's
/// controls leaves the windows it owns (the settings window, message boxes)
/// usable: Qt would disable those too if the window itself were disabled.
class ProgramWindow : public QWidget
{
public:
    ProgramWindow(int64_t number, QWidget* owner, Qt::WindowFlags flags);

    /// The parent of the window's controls.
    QWidget* Content() const { return content_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int64_t number_;
    QWidget* content_;
};

/// A picture that can be clicked: one ControlClick per click, and a double
/// click counts as one click (its second press and release raise nothing), so
/// no image acts twice for one gesture. It is a button for the keyboard too:
/// Tab reaches it (a click does not take the focus from the lists), Space
/// presses it and a frame shows when it has the focus.
class ImageLabel : public QLabel
{
public:
    ImageLabel(int64_t window, int64_t number, QWidget* parent);

    /// Raises the click a press of the button raises (Space, a screen
    /// reader's press action).
    void Press();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int64_t window_;
    int64_t number_;
    bool endingDoubleClick_ = false; ///< the next release ends a double click
};

/// A tab control whose tabs are 22 pixels high whatever the style would
/// make them, so the line drawn along the foot of the strip meets it.
class TabControl : public QTabWidget
{
public:
    explicit TabControl(QWidget* parent);

    static constexpr int TabHeightPx = 22;
};

/// Called for every move, resize or state change of a program window, with
/// the window's number. GUI thread.
void SetGeometryChangedHandler(std::function<void(int64_t window)> handler);

/// Raises an EvControl event for `number` in window `window`.
void RaiseControlEvent(int64_t window, int64_t number, int64_t type);

} // namespace ui
