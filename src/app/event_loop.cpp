#include "app/event_loop.h"

#include "app/colour_scheme.h"
#include "app/content_refresh.h"
#include "app/refresh_schedule.h"
#include "app/shell_state.h"
#include "app/day_lists.h"
#include "app/installed_apps.h"
#include "app/main_window.h"
#include "app/open_items.h"
#include "app/picture_of_the_day.h"
#include "app/quit.h"
#include "app/settings_window.h"
#include "app/tray.h"
#include "app/tray_menu.h"
#include "content/list_status.h"
#include "runtime/app_identity.h"
#include "runtime/clock.h"
#include "runtime/event_queue.h"
#include "runtime/process_state.h"
#include "runtime/software_centre.h"
#include "settings/app_settings.h"
#include "settings/settings_file.h"
#include "ui/control_numbers.h"
#include "ui/controls.h"
#include "ui/input_events.h"
#include "ui/tray_icon.h"

#include <QCursor>

namespace app {

namespace {

using namespace ui::id;

/// Where to get what the updater needs when its package manager is missing.
const QString PackageManagerSetupUrl = QStringLiteral("https://flatpak.org/setup/");

/// Waits until `key` is released (the release only arrives through the
/// pump), then drops what came meanwhile, so the held key does not act twice.
/// The images that act when pressed: Enter on one presses it, as Space does.
bool IsImageButton(int64_t control)
{
    return control == VisitSiteImage || control == DonateImage || control == SettingsImage || control == RefreshImage ||
           control == PictureImage;
}

void WaitForRelease(int key)
{
    ui::WaitWhileHeld({key}, ui::KeyReleaseWaitMs);
    runtime::DrainEvents();
}

void OnMenu(int64_t item)
{
    switch (item) {
    case menu::ShowWindow:
        ShowMainWindow();
        break;
    case menu::RefreshContent:
        ShowMainWindow();
        RefreshContent(true);
        break;
    case menu::RefreshApps:
        if (ui::State(ContentTabs) != ui::tab::InstalledApps)
            ui::SetState(ContentTabs, ui::tab::InstalledApps);
        ShowMainWindow();
        runtime::PostEvent(runtime::EvControl, MainWindow, AppsCheckButton, ui::ControlClick);
        break;
    case menu::Quit:
        QuitApplication();
        break;
    default: {
        const QString link = MenuLink(item, runtime::SiteBaseUrl());
        if (!link.isEmpty())
            OpenInBrowser(link);
        break;
    }
    }
}

void OnClose(int64_t window)
{
    if (window == SettingsWindow) {
        CloseSettingsWindow();
        return;
    }
    if (window != MainWindow)
        return;
    if (DecideMainWindowClose(ui::KeyHeld(ui::VkShift), settings::Settings.App_Close_To_Tray, TrayShown()) ==
        CloseAction::Hide) {
        ui::HideWindow(MainWindow);
        return;
    }
    QuitApplication();
}

void OnMouseMove()
{
    if (runtime::RefreshOrAppsBusy())
        return;
    const int64_t under = ui::ControlUnderMouse();
    if (under == VisitSiteImage || under == DonateImage) {
        ui::SetCursor(ui::CursorShape::Hand);
    } else if (under == PictureImage) {
        ui::SetCursor(PictureWorkerBusy.load() == 1 ? ui::CursorShape::Wait
                      : PictureReady.load() == 1    ? ui::CursorShape::Hand
                                                    : ui::CursorShape::Arrow);
    } else {
        ui::SetCursor(ui::CursorShape::Arrow);
    }
}

void OnKey(int64_t key, int64_t lastEventWindow)
{
    const int64_t focused = ui::FocusedControl();
    switch (key) {
    case ui::VkA:
        if (focused == AppsList && ui::KeyHeld(ui::VkControl))
            SelectAllApps();
        break;
    case ui::VkEscape:
        if (ui::ForegroundWindow() == SettingsWindow)
            CloseSettingsWindow();
        WaitForRelease(ui::VkEscape);
        break;
    case ui::VkEnter:
        if (focused == SearchBox || focused == SearchButton)
            SiteSearch();
        else if (focused == SettingsRefreshRate || focused == SettingsAlertNames)
            CloseSettingsWindow();
        else if (focused == TodayList || focused == YesterdayList)
            OpenFileItem(focused, ui::ControlDoubleClick);
        else if (focused == AppsList)
            runtime::PostEvent(runtime::EvControl, MainWindow, AppsList, ui::ControlDoubleClick);
        else if (focused == AppsCheckButton || focused == SelectUpdatesButton || focused == StartUpdatesButton ||
                 IsImageButton(focused))
            runtime::PostEvent(runtime::EvControl, MainWindow, focused, ui::ControlClick);
        else if (focused == NewsList || focused == ArticlesList)
            OpenNewsItem(focused, ui::ControlDoubleClick);
        break;
    case ui::VkF5:
        if (F5RefreshesContent(lastEventWindow, CurrentTab, focused))
            RefreshContent(true);
        else if (F5ChecksApps(lastEventWindow, CurrentTab, runtime::UpdaterAvailable.load() == 1))
            RefreshInstalledApps(true);
        break;
    case ui::VkF12:
        if (ui::ForegroundWindow() == MainWindow) {
            if (ui::IsMaximized(MainWindow))
                ui::ShowNormal(MainWindow);
            else
                ui::ShowMaximized(MainWindow);
        }
        WaitForRelease(ui::VkF12);
        break;
    default:
        break;
    }
}

void OnFilterBox(int64_t type)
{
    if (type == ui::ControlFocus)
        ui::SelectAllText(FilterBox);
    const QString text = ui::Text(FilterBox);
    if (text == LastFilterText)
        return;
    LastFilterText = text;
    if (FilterAppliesToApps)
        RefreshInstalledApps(false);
    else
        RescanDayLists();
}

void OnPlatformCombo()
{
    settings::AppSettings& s = settings::Settings;
    s.Platform = content::PlatformForComboIndex(static_cast<int>(ui::State(PlatformCombo)), s.Platform);
    ui::SetTooltip(PlatformCombo, content::PlatformTooltip(s.Platform));
    RescanDayLists();
    ShowListSummary(CurrentTab);
    settings::SaveSettings();
}

void OnContentTabs()
{
    const int tab = static_cast<int>(ui::State(ContentTabs));
    if (tab != LastSeenTab) {
        LastSeenTab = tab;
        CurrentTab = tab;
        ShowListSummary(tab);
    }
}

/// The controls of the installed-apps tab.
void OnAppsControl(int64_t control, int64_t type)
{
    if (control == AppsList) {
        OnAppsListEvent(type);
        return;
    }
    if (type != ui::ControlClick) // the buttons act on the press, not on the focus
        return;
    switch (control) {
    case AppsCheckButton:
        if (runtime::UpdaterAvailable.load() == 1)
            RefreshInstalledApps(true);
        else
            OpenInBrowser(PackageManagerSetupUrl);
        break;
    case ControlPanelButton:
        // The desktop's software centre stands in for the list of installed
        // programs; without one the button is disabled.
        runtime::OpenSoftwareCentre();
        break;
    case SelectUpdatesButton:
        SelectAppsWithUpdates();
        break;
    case StartUpdatesButton:
        StartUpdates();
        break;
    default:
        break;
    }
}

void OnControl(int64_t control, int64_t type)
{
    if (control >= SearchBox)
        LastUsedControl = control;
    // Buttons also report getting the keyboard focus (a click gives it
    // first); only the press itself acts, so one click acts once and tabbing
    // onto a button starts nothing.
    const bool pressed = type == ui::ControlClick;
    switch (control) {
    case VisitSiteImage:
    case DonateImage:
        if (pressed)
            OpenInBrowser(HeaderImageLink(control, runtime::SiteBaseUrl()));
        break;
    case SettingsImage:
        if (pressed)
            OpenSettingsWindow();
        break;
    case RefreshImage:
        if (pressed)
            RefreshContent(true);
        break;
    case SearchBox:
        if (type == ui::ControlFocus)
            ui::SelectAllText(SearchBox);
        UpdateSearchBoxLook();
        break;
    case SearchButton:
        if (pressed)
            SiteSearch();
        break;
    case ContentTabs:
        OnContentTabs();
        break;
    case TodayList:
    case YesterdayList:
        OpenFileItem(control, type);
        break;
    case FilterBox:
        OnFilterBox(type);
        break;
    case PlatformCombo:
        if (type != ui::ControlFocus)
            OnPlatformCombo();
        break;
    case AppsList:
    case AppsCheckButton:
    case ControlPanelButton:
    case SelectUpdatesButton:
    case StartUpdatesButton:
        OnAppsControl(control, type);
        break;
    case PictureImage:
        if (pressed)
            OpenPictureStory();
        break;
    case NewsList:
    case ArticlesList:
        OpenNewsItem(control, type);
        break;
    default:
        if (ui::WindowOf(control) == SettingsWindow)
            OnSettingsControl(control, type);
        break;
    }
}

} // namespace

bool F5RefreshesContent(int64_t lastEventWindow, int currentTab, int64_t focused)
{
    if (lastEventWindow != MainWindow || (currentTab != ui::tab::Today && currentTab != ui::tab::Yesterday))
        return false;
    switch (focused) {
    case -1:
    case SearchBox:
    case ContentTabs:
    case TodayList:
    case YesterdayList:
    case FilterBox:
    case NewsList:
    case ArticlesList:
        return true;
    default:
        return false;
    }
}

CloseAction DecideMainWindowClose(bool shiftHeld, int64_t closeToTray, bool trayShown)
{
    // Without a notification area a hidden window could never come back.
    return !shiftHeld && closeToTray == 1 && trayShown ? CloseAction::Hide : CloseAction::Quit;
}

bool F5ChecksApps(int64_t lastEventWindow, int currentTab, bool updaterAvailable)
{
    return lastEventWindow == MainWindow && currentTab == ui::tab::InstalledApps && updaterAvailable;
}

void DispatchEvent(int32_t kind, int64_t window, int64_t object, int64_t type, int64_t param)
{
    switch (kind) {
    case runtime::EvTray:
        if (type == ui::TrayLeftClick)
            ShowMainWindow();
        else if (type == ui::TrayRightClick)
            ShowTrayMenu(QCursor::pos());
        break;
    case runtime::EvMenu:
        OnMenu(object);
        break;
    case runtime::EvCloseWindow:
        OnClose(window);
        break;
    case runtime::EvMouseMove:
        OnMouseMove();
        break;
    case runtime::EvKeyDown:
        OnKey(param, window);
        break;
    case runtime::EvControl:
        OnControl(object, type);
        break;
    default:
        break;
    }
}

void RunEventLoopPass()
{
    // Asleep until something happens: an event, a worker's wake-up, or the
    // automatic refresh's deadline, worked out again on every pass so that a
    // changed schedule counts at once.
    const int32_t kind = runtime::WaitEvent(
        LoopWaitMs(settings::Settings.Refresh_Rate, runtime::NextRefreshTime.load(), runtime::ElapsedMs()));
    const int64_t window = runtime::EventWindow();
    const int64_t object = runtime::EventObject();
    const int64_t type = runtime::EventType();
    const int64_t param = runtime::EventParam();
    if (AutoRefreshDue(settings::Settings.Refresh_Rate, runtime::NextRefreshTime.load(), runtime::ElapsedMs()))
        RefreshContent(true);
    ApplyPictureTooltip();
    DispatchEvent(kind, window, object, type, param);
}

void RunEventLoop()
{
    for (;;)
        RunEventLoopPass();
}

} // namespace app
