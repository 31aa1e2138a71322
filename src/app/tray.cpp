#include "app/tray.h"

#include "runtime/app_identity.h"
#include "runtime/event_queue.h"
#include "runtime/process_state.h"
#include "ui/control_numbers.h"
#include "ui/popup_menu.h"
#include "ui/tray_icon.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>

#include <thread>

namespace app {

namespace {

constexpr int64_t TrayMenu = 1;
bool trayShown = false;

std::vector<ui::MenuItem> TrayMenuItems()
{
    using ui::ImageId;
    const bool apps = runtime::UpdaterAvailable.load() == 1;
    return {
        {0, QStringLiteral("&Show window"), ImageId::MenuShowWindow, true},
        {1, QStringLiteral("Refresh &content"), ImageId::MenuRefreshContent, true},
        {2, QStringLiteral("Refresh my &apps"), ImageId::TabInstalledApps, apps},
        {-1, QString(), std::nullopt, true},
        {3, QStringLiteral("-- Zorvane Social --"), std::nullopt, false},
        {4, QStringLiteral("&Facebook"), ImageId::MenuFacebook, true},
        {5, QStringLiteral("&X (Twitter)"), ImageId::MenuX, true},
        {6, QStringLiteral("&YouTube"), ImageId::MenuYouTube, true},
        {-1, QString(), std::nullopt, true},
        {7, QStringLiteral("-- Extras --"), std::nullopt, false},
        {8, QStringLiteral("Go to &") + runtime::SiteDisplayName, ImageId::MenuGoTo, true},
        {9, QStringLiteral("Go to Top &Downloads"), ImageId::MenuGoTo, true},
        {10, QStringLiteral("Go to &News"), ImageId::MenuGoTo, true},
        {11, QStringLiteral("Go to &Off Base"), ImageId::MenuGoTo, true},
        {12, QStringLiteral("Go to &Way Off Base"), ImageId::MenuGoTo, true},
        {-1, QString(), std::nullopt, true},
        {13, QStringLiteral("&Quit"), ImageId::MenuQuit, true},
    };
}

/// A panel started after the program (or restarted) registers the
/// StatusNotifier watcher anew; the icon is added again then.
void WatchTrayHost()
{
    static QDBusServiceWatcher* watcher = nullptr;
    if (watcher != nullptr || !QDBusConnection::sessionBus().isConnected())
        return;
    watcher = new QDBusServiceWatcher(QStringLiteral("org.kde.StatusNotifierWatcher"), QDBusConnection::sessionBus(),
                                      QDBusServiceWatcher::WatchForRegistration);
    QObject::connect(watcher, &QDBusServiceWatcher::serviceRegistered, [] { RecreateTrayIcon(); });
}

void Sleep(int ms)
{
    const int64_t end = runtime::ElapsedMs() + ms;
    while (runtime::ElapsedMs() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

bool Busy()
{
    return runtime::ContentRefreshBusy.load() != 0 || runtime::AppsRefreshBusy.load() != 0;
}

} // namespace

bool CreateTray()
{
    trayShown = ui::TrayAdd(ui::no::TrayIcon, ui::no::MainWindow, ui::ImageId::Tray);
    ui::CreatePopupMenu(TrayMenu, TrayMenuItems());
    if (trayShown)
        ui::TraySetTooltip(ui::no::TrayIcon, runtime::AppTitle);
    WatchTrayHost();
    return true;
}

bool TrayShown()
{
    return trayShown;
}

void ShowTrayMenu(QPoint mouse)
{
    ui::SetMenuItemEnabled(TrayMenu, 2, runtime::UpdaterAvailable.load() == 1);
    ui::ShowPopupMenu(TrayMenu, ui::no::MainWindow, mouse - QPoint(1, 1));
}

void RecreateTrayIcon()
{
    trayShown = ui::TrayAdd(ui::no::TrayIcon, ui::no::MainWindow, ui::ImageId::Tray);
    if (trayShown)
        ui::TraySetTooltip(ui::no::TrayIcon, runtime::AppTitle);
}

void TrayBusyAnimation()
{
    ui::TraySetTooltip(ui::no::TrayIcon, runtime::BusyText);
    bool first = true;
    do {
        ui::TraySetImage(ui::no::TrayIcon, first ? ui::ImageId::TrayBusyA : ui::ImageId::TrayBusyB);
        first = !first;
        Sleep(500);
    } while (Busy());
    ui::TraySetImage(ui::no::TrayIcon, ui::ImageId::Tray);
}

} // namespace app
