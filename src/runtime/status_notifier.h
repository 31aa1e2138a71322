#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

namespace runtime {

// The program's icon in a StatusNotifier host (the notification area of
// Plasma, of GNOME with the AppIndicator extension, of most panels), offered
// over the session bus: the item with its icon, tooltip and menu. One item
// per process. GUI thread; the handlers run on the GUI thread too.

/// One size of the icon: width x height pixels, ARGB32 in network byte
/// order, row by row.
struct StatusNotifierPixmap
{
    int width = 0;
    int height = 0;
    QByteArray argb;
};

/// One row of the item's menu; an id below 0 is a separator. Captions keep
/// the "&" before the access key. `png` is the icon as PNG (may be empty).
struct StatusNotifierMenuItem
{
    int64_t id = -1;
    QString caption;
    bool enabled = true;
    QByteArray png;
};

/// What the host reports: a primary click (x, y on the screen), a request
/// for the item's own context menu, a menu row chosen (its id), and the
/// xdg-activation token a host on Wayland hands over before a click, for the
/// window that click brings forward (only usable tokens are passed on).
struct StatusNotifierHandlers
{
    std::function<void()> activate;
    std::function<void()> contextMenu;
    std::function<void(int64_t id)> menuItemChosen;
    std::function<void(const QString& token)> activationToken;
};

/// Offers the item to the host now running, with `title`, `icon` and no
/// tooltip; replaces an item offered before. False without a session bus or
/// when the bus refuses the item's name.
bool ShowStatusNotifier(const QString& title, const QList<StatusNotifierPixmap>& icon,
                        const StatusNotifierHandlers& handlers);

/// Changes the icon; nothing when no item is offered.
void SetStatusNotifierIcon(const QList<StatusNotifierPixmap>& icon);

/// Changes the tooltip; nothing when no item is offered.
void SetStatusNotifierToolTip(const QString& text);

/// Replaces the menu the host shows for the item.
void SetStatusNotifierMenu(const std::vector<StatusNotifierMenuItem>& items);

/// Takes the item off the bus, and so out of the host.
void HideStatusNotifier();

} // namespace runtime
