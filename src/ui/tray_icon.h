#pragma once

#include "ui/images.h"

#include <QString>

#include <cstdint>

namespace ui {

// The notification-area icon. Clicks arrive as EvTray events on the GUI
// thread's queue: object = icon id, window = owner window, type 0 left
// click, 1 right click, 2 left double click, 3 right double click (never
// produced on Linux: desktops do not report it). Any thread.

constexpr int64_t TrayLeftClick = 0;
constexpr int64_t TrayRightClick = 1;
constexpr int64_t TrayLeftDoubleClick = 2;

/// Adds (or re-adds) icon `id` for `ownerWindow` with `image`, without a
/// tooltip. False when the desktop offers no notification area.
bool TrayAdd(int64_t id, int64_t ownerWindow, ImageId image);

/// Changes the image; false when the icon does not exist.
bool TraySetImage(int64_t id, ImageId image);

/// Sets the tooltip, cut to its first 63 characters; false when the icon
/// does not exist or the text is null.
bool TraySetTooltip(int64_t id, const QString& text);

/// The tooltip as set (for checks); empty when the icon does not exist.
QString TrayTooltip(int64_t id);

/// Whether the icon exists and shows `image`.
bool TrayHasImage(int64_t id, ImageId image);

/// Removes every icon (exit path).
void TrayRemoveAll();

/// True when the desktop currently offers a notification area.
bool TrayAvailable();

/// The first 63 characters of `text`, as the tooltip shows it. Pure.
QString TrayTooltipText(const QString& text);

} // namespace ui
