#pragma once

#include "ui/images.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace app {

/// The tray menu's item ids, as its menu events carry them.
namespace menu {
constexpr int64_t ShowWindow = 0;
constexpr int64_t RefreshContent = 1;
constexpr int64_t RefreshApps = 2;
constexpr int64_t SocialHeading = 3;
constexpr int64_t Facebook = 4;
constexpr int64_t X = 5;
constexpr int64_t YouTube = 6;
constexpr int64_t ExtrasHeading = 7;
constexpr int64_t GoToSite = 8;
constexpr int64_t GoToTopDownloads = 9;
constexpr int64_t GoToNews = 10;
constexpr int64_t GoToOffBase = 11;
constexpr int64_t GoToWayOffBase = 12;
constexpr int64_t Quit = 13;
constexpr int64_t Separator = -1;
} // namespace menu

/// When a tray menu item can be chosen.
enum class MenuEnabled { Always, Never, WhenUpdaterAvailable };

/// Where an item or a header image leads: a full address, or a path on the
/// site (empty for its home page) that is put after the site's base address.
struct MenuLinkTarget
{
    bool onSite = false;
    QString address; ///< empty and not on the site: the item opens nothing
};

/// One row of the tray menu, in menu order.
struct TrayMenuEntry
{
    int64_t id = menu::Separator;
    QString caption;
    std::optional<ui::ImageId> icon;
    MenuLinkTarget link;
    MenuEnabled enabled = MenuEnabled::Always;
};

/// The tray menu, top to bottom; the one list the menu is built from and its
/// links are looked up in. Built on first use. GUI thread.
const std::vector<TrayMenuEntry>& TrayMenuEntries();

/// Whether an entry can be chosen now. Any thread.
bool MenuEntryEnabled(const TrayMenuEntry& entry);

/// The address a tray menu item opens; empty for items that open no page.
QString MenuLink(int64_t item, const QString& baseUrl);

/// The address the site logo (VisitSiteImage) or DonateImage opens; empty
/// for any other control.
QString HeaderImageLink(int64_t control, const QString& baseUrl);

} // namespace app
