#pragma once

#include "ui/images.h"

#include <QPoint>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace ui {

/// One entry of a pop-up menu; an id of -1 is a separator.
struct MenuItem
{
    int64_t id = -1;
    QString caption;
    std::optional<ImageId> icon;
    bool enabled = true;
};

/// Builds (or rebuilds) pop-up menu `menu` from its items. Any thread.
void CreatePopupMenu(int64_t menu, const std::vector<MenuItem>& items);

/// The menu's items as they are now (captions, icons, enabled states); empty
/// for an unknown menu. Any thread.
std::vector<MenuItem> PopupMenuItems(int64_t menu);

/// Enables or disables one item.
void SetMenuItemEnabled(int64_t menu, int64_t item, bool enabled);
bool MenuItemEnabled(int64_t menu, int64_t item);

/// Shows the menu with its top-left corner at `position` (screen pixels)
/// and returns when it closes; the chosen item arrives as an EvMenu event
/// for `ownerWindow`. On Wayland the menu opens only while `ownerWindow` is
/// shown, as its pop-up. GUI thread.
void ShowPopupMenu(int64_t menu, int64_t ownerWindow, QPoint position);

} // namespace ui
