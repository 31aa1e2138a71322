#pragma once

#include "ui/images.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace ui {

// The notification-area icon. Where a StatusNotifier host runs (Plasma,
// GNOME with AppIndicator, most panels) the icon is an item on the session
// bus; elsewhere it is an XEmbed icon, which shows in a system tray as soon
// as one appears and again when it restarts. Clicks arrive as EvTray events
// on the GUI thread's queue: object = icon id, window = owner window, type 0
// left click, 1 right click, 2 left double click, 3 right double click
// (never produced on Linux: desktops do not report it). A row chosen from a
// menu the host shows for the icon arrives as an EvMenu event, as from
// ShowPopupMenu. Any thread.

constexpr int64_t TrayLeftClick = 0;
constexpr int64_t TrayRightClick = 1;
constexpr int64_t TrayLeftDoubleClick = 2;

/// Adds (or re-adds) icon `id` for `ownerWindow` with `image`, without a
/// tooltip: to the StatusNotifier host running now, else as an XEmbed icon
/// that waits for a tray (not on Wayland, which has no XEmbed: there the icon
/// is not made until a host appears). An icon already offered on the bus
/// stays there and is only registered with the host again. True when it is
/// in a notification area now. A token the host hands over for a click is
/// kept for the window the click brings forward (OfferActivationToken).
bool TrayAdd(int64_t id, int64_t ownerWindow, ImageId image);

/// Whether icon `id` is in a notification area now, so a hidden window can
/// be brought back through it.
bool TrayShown(int64_t id);

/// Changes the image; false when the icon does not exist.
bool TraySetImage(int64_t id, ImageId image);

/// Sets the tooltip, cut to its first 63 characters; false when the icon
/// does not exist or the text is null.
bool TraySetTooltip(int64_t id, const QString& text);

/// Offers pop-up menu `menu` (ui/popup_menu.h) as the icon's menu to hosts
/// that show menus themselves; call again after changing its items. False
/// when the icon does not exist.
bool TraySetMenu(int64_t id, int64_t menu);

/// The tooltip as set (for checks); empty when the icon does not exist.
QString TrayTooltip(int64_t id);

/// Whether the icon exists and shows `image`.
bool TrayHasImage(int64_t id, ImageId image);

/// Removes every icon (exit path).
void TrayRemoveAll();

/// Starts following the StatusNotifier host, which TrayAdd and TrayShown
/// then ask about; call it before the first TrayAdd. Calls `onAppeared` on
/// the GUI thread whenever a host comes up after start-up, restarts or joins
/// another; re-adding the icon then moves it there. (An XEmbed tray that
/// appears or restarts takes the icon by itself.)
void WatchTrayHosts(std::function<void()> onAppeared);

/// The first 63 characters of `text`, as the tooltip shows it. Pure.
QString TrayTooltipText(const QString& text);

} // namespace ui
