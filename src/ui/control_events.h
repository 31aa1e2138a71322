#pragma once

#include <cstdint>

namespace ui {

/// Control event types raised into the event queue (EvControl): the `type`
/// the event loop dispatches on.
constexpr int64_t ControlClick = 0;
constexpr int64_t ControlChange = 1;
constexpr int64_t ControlDoubleClick = 2;
constexpr int64_t ControlSelection = 3;
constexpr int64_t ControlFocus = 14000;

} // namespace ui
