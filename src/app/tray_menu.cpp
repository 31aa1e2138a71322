#include "app/tray_menu.h"

#include "runtime/app_identity.h"
#include "runtime/process_state.h"
#include "ui/control_numbers.h"

namespace app {

namespace {

QString Resolve(const MenuLinkTarget& link, const QString& baseUrl)
{
    return link.onSite ? baseUrl + link.address : link.address;
}

MenuLinkTarget Site(const char* path)
{
    return {true, QString::fromLatin1(path)};
}

MenuLinkTarget Web(const char* address)
{
    return {false, QString::fromLatin1(address)};
}

} // namespace

const std::vector<TrayMenuEntry>& TrayMenuEntries()
{
    using ui::ImageId;
    static const std::vector<TrayMenuEntry> entries{
        {menu::ShowWindow, QStringLiteral("&Show window"), ImageId::MenuShowWindow, {}, MenuEnabled::Always},
        {menu::RefreshContent,
         QStringLiteral("Refresh &content"),
         ImageId::MenuRefreshContent,
         {},
         MenuEnabled::Always},
        {menu::RefreshApps,
         QStringLiteral("Refresh my &apps"),
         ImageId::TabInstalledApps,
         {},
         MenuEnabled::WhenUpdaterAvailable},
        {menu::Separator, QString(), std::nullopt, {}, MenuEnabled::Always},
        {menu::SocialHeading, QStringLiteral("-- Zorvane Social --"), std::nullopt, {}, MenuEnabled::Never},
        {menu::Facebook, QStringLiteral("&Facebook"), ImageId::MenuFacebook, Web("https://www.facebook.com/zorvane"),
         MenuEnabled::Always},
        {menu::X, QStringLiteral("&X (Twitter)"), ImageId::MenuX, Web("https://x.com/zorvane"), MenuEnabled::Always},
        {menu::YouTube, QStringLiteral("&YouTube"), ImageId::MenuYouTube, Web("https://www.youtube.com/@zorvane"),
         MenuEnabled::Always},
        {menu::Separator, QString(), std::nullopt, {}, MenuEnabled::Always},
        {menu::ExtrasHeading, QStringLiteral("-- Extras --"), std::nullopt, {}, MenuEnabled::Never},
        {menu::GoToSite, QStringLiteral("Go to &") + runtime::SiteDisplayName, ImageId::MenuGoTo, Site(""),
         MenuEnabled::Always},
        {menu::GoToTopDownloads, QStringLiteral("Go to Top &Downloads"), ImageId::MenuGoTo,
         Site("/zv/topdownloads/index.html"), MenuEnabled::Always},
        {menu::GoToNews, QStringLiteral("Go to &News"), ImageId::MenuGoTo, Site("/news/archive"), MenuEnabled::Always},
        {menu::GoToOffBase, QStringLiteral("Go to &Off Base"), ImageId::MenuGoTo, Site("/news/channels/off_base.html"),
         MenuEnabled::Always},
        {menu::GoToWayOffBase, QStringLiteral("Go to &Way Off Base"), ImageId::MenuGoTo,
         Site("/news/channels/way_off_base.html"), MenuEnabled::Always},
        {menu::Separator, QString(), std::nullopt, {}, MenuEnabled::Always},
        {menu::Quit, QStringLiteral("&Quit"), ImageId::MenuQuit, {}, MenuEnabled::Always},
    };
    return entries;
}

bool MenuEntryEnabled(const TrayMenuEntry& entry)
{
    switch (entry.enabled) {
    case MenuEnabled::Always:
        return true;
    case MenuEnabled::Never:
        return false;
    case MenuEnabled::WhenUpdaterAvailable:
        return runtime::UpdaterAvailable.load() == 1;
    }
    return false;
}

QString MenuLink(int64_t item, const QString& baseUrl)
{
    if (item == menu::Separator)
        return QString();
    for (const TrayMenuEntry& entry : TrayMenuEntries()) {
        if (entry.id == item)
            return Resolve(entry.link, baseUrl);
    }
    return QString();
}

QString HeaderImageLink(int64_t control, const QString& baseUrl)
{
    switch (control) {
    case ui::id::VisitSiteImage:
        return Resolve(Site(""), baseUrl);
    case ui::id::DonateImage:
        return Resolve(Site("/content/page/donations.html"), baseUrl);
    default:
        return QString();
    }
}

} // namespace app
