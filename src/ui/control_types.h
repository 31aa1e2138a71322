#pragma once

#include <cstdint>

namespace ui {

// What windows and controls are, where they live and the events they raise:
// the vocabulary shared by the control operations and the registry behind
// them.

enum class WindowStyle {
    Main,   // caption, system menu, sizing border, minimise and maximise boxes
    Popup,  // borderless, owned
    Dialog, // caption and close box, fixed size, owned
};

enum class ControlKind {
    Label,       // text; QLabel
    Image,       // clickable picture; click raises type 0
    ImageButton, // flat button with a 16 x 16 icon
    PushButton,
    CheckBox,
    Edit,       // single line
    List,       // report view without header
    HeaderList, // report view showing only its column header
    ListWithHeader,
    RichText,   // read-only rich-text box with word wrap
    ImageCombo, // combo box of icons
    Tabs,
};

/// Where a control lives: a window, or one page of a tab control.
struct Parent
{
    int64_t number = 0;
    int page = -1; // tab index when `number` is a tab control
};

enum class FontKind { Normal, Italic };

/// Control event types raised into the event queue (EvControl): the `type`
/// the event loop dispatches on.
constexpr int64_t ControlClick = 0;
constexpr int64_t ControlChange = 1;
constexpr int64_t ControlDoubleClick = 2;
constexpr int64_t ControlSelection = 3;
constexpr int64_t ControlFocus = 14000;

} // namespace ui
