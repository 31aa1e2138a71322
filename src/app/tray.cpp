#include "app/tray.h"

#include "app/shell_state.h"
#include "app/tray_menu.h"
#include "runtime/app_identity.h"
#include "runtime/clock.h"
#include "runtime/process_state.h"
#include "runtime/threads.h"
#include "ui/control_numbers.h"
#include "ui/popup_menu.h"
#include "ui/tray_icon.h"

#include <atomic>

namespace app {

namespace {

constexpr int64_t TrayMenu = 1;

/// Blinkers running now. Written by the blinkers, read by anyone.
std::atomic<int> runningBlinkers{0};

/// Set by whoever starts a blinker (or goes on blinking), cleared by the
/// blinker once it has put the normal image back. Any thread.
std::atomic<bool> blinkerClaimed{false};

bool ClaimBlinker()
{
    return !blinkerClaimed.exchange(true);
}

std::vector<ui::MenuItem> TrayMenuItems()
{
    std::vector<ui::MenuItem> items;
    for (const TrayMenuEntry& entry : TrayMenuEntries())
        items.push_back({entry.id, entry.caption, entry.icon, MenuEntryEnabled(entry)});
    return items;
}

} // namespace

bool CreateTray()
{
    ui::CreatePopupMenu(TrayMenu, TrayMenuItems());
    // A panel started after the program, restarted or added gets the icon
    // too. Watched first: adding the icon asks what the watch has learned.
    ui::WatchTrayHosts(RecreateTrayIcon);
    RecreateTrayIcon();
    return true;
}

bool TrayShown()
{
    return ui::TrayShown(ui::id::TrayIcon);
}

void UpdateTrayMenu()
{
    for (const TrayMenuEntry& entry : TrayMenuEntries()) {
        if (entry.enabled == MenuEnabled::WhenUpdaterAvailable)
            ui::SetMenuItemEnabled(TrayMenu, entry.id, MenuEntryEnabled(entry));
    }
    ui::TraySetMenu(ui::id::TrayIcon, TrayMenu);
}

void ShowTrayMenu(QPoint mouse)
{
    // The updater's availability may have changed since the menu was built.
    UpdateTrayMenu();
    ui::ShowPopupMenu(TrayMenu, ui::id::MainWindow, mouse - QPoint(1, 1));
}

void RecreateTrayIcon()
{
    ui::TrayAdd(ui::id::TrayIcon, ui::id::MainWindow, ui::ImageId::Tray);
    ui::TraySetMenu(ui::id::TrayIcon, TrayMenu);
    ui::TraySetTooltip(ui::id::TrayIcon, runtime::AppTitle);
}

void ShowRestingTrayTooltip()
{
    ui::TraySetTooltip(ui::id::TrayIcon, LatestHeadline.isEmpty() ? runtime::AppTitle : LatestHeadline);
}

int TrayBlinkersRunning()
{
    return runningBlinkers.load();
}

bool StartTrayBusyAnimation()
{
    // Set here, on the GUI thread, rather than by the blinker: a call from
    // the blinker is carried out only when the GUI thread next pumps, which
    // may be after a short job has ended and put the resting tooltip back.
    ui::TraySetTooltip(ui::id::TrayIcon, runtime::BusyText);
    // The blinker waits out a last half second after its job has ended; a
    // job that starts meanwhile is blinked by it rather than by a second one
    // beside it.
    if (!ClaimBlinker())
        return false;
    if (runtime::ThreadStart(TrayBusyAnimation, "tray blink") == 0) {
        blinkerClaimed = false;
        return false;
    }
    return true;
}

void TrayBusyAnimation()
{
    ++runningBlinkers;
    do {
        bool first = true;
        do {
            ui::TraySetImage(ui::id::TrayIcon, first ? ui::ImageId::TrayBusyA : ui::ImageId::TrayBusyB);
            first = !first;
            runtime::SleepMs(500);
        } while (runtime::RefreshOrAppsBusy());
        ui::TraySetImage(ui::id::TrayIcon, ui::ImageId::Tray);
        blinkerClaimed = false;
        // A job that started between the last look at the busy flags and the
        // line above found this blinker still claimed and started none.
    } while (runtime::RefreshOrAppsBusy() && ClaimBlinker());
    --runningBlinkers;
}

} // namespace app
