#include "app/event_loop.h"

#include "app/colour_scheme.h"
#include "app/content_refresh.h"
#include "app/content_state.h"
#include "app/day_lists.h"
#include "app/main_window.h"
#include "app/open_items.h"
#include "app/picture_of_the_day.h"
#include "app/quit.h"
#include "app/settings_window_actions.h"
#include "app/tray.h"
#include "app/window_layout.h"
#include "content/list_status.h"
#include "runtime/app_identity.h"
#include "runtime/event_queue.h"
#include "runtime/process_state.h"
#include "settings/app_settings.h"
#include "settings/settings_file.h"
#include "ui/control_numbers.h"
#include "ui/controls.h"
#include "ui/input_events.h"

#include <QCursor>
#include <QProcess>
#include <QStandardPaths>

namespace app {

namespace {

using namespace ui::no;

constexpr int TabToday = 0;
constexpr int TabYesterday = 1;
constexpr int TabInstalledApps = 2;
constexpr int64_t VkShift = 16;

const QString StoreUrl = QStringLiteral("https://apps.microsoft.com/detail/9NBLGGH4NNS1");

/// Waits until `key` is released (the release only arrives through the
/// pump), then drains what came meanwhile. Bounded: a release lost to a focus
/// change must not hang the program.
void WaitForRelease(int key)
{
    const int64_t giveUp = runtime::ElapsedMs() + 5000;
    while (ui::KeyHeld(key) && runtime::ElapsedMs() < giveUp)
        runtime::WaitEvent(1);
    while (runtime::PollEvent() != 0) {
    }
}

/// The desktop's software centre stands in for the list of installed programs.
void OpenSoftwareCentre()
{
    for (const char* program : {"gnome-software", "plasma-discover"}) {
        const QString path = QStandardPaths::findExecutable(QLatin1StringView(program));
        if (!path.isEmpty()) {
            QProcess::startDetached(path, {});
            return;
        }
    }
}

void OnMenu(int64_t item)
{
    switch (item) {
    case 0:
        ShowMainWindow();
        break;
    case 1:
        ShowMainWindow();
        RefreshContent(true);
        break;
    case 2:
        if (ui::State(ContentTabs) != TabInstalledApps)
            ui::SetState(ContentTabs, TabInstalledApps);
        ShowMainWindow();
        runtime::PostEvent(runtime::EvControl, MainWindow, AppsCheckButton, 1000);
        break;
    case 13:
        QuitApplication();
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
    if (DecideMainWindowClose(ui::KeyHeld(VkShift), settings::Settings.App_Close_To_Tray, TrayShown()) ==
        CloseAction::Hide) {
        ui::HideWindow(MainWindow);
        return;
    }
    QuitApplication();
}

void OnMouseMove()
{
    if (runtime::ContentRefreshBusy.load() != 0 || runtime::AppsRefreshBusy.load() != 0)
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
        // Select-all of the installed-apps list belongs to the updater.
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
            OpenFileItem(focused, 2);
        else if (focused == AppsList)
            runtime::PostEvent(runtime::EvControl, MainWindow, AppsList, 2);
        else if (focused == AppsCheckButton || focused == SelectUpdatesButton || focused == StartUpdatesButton)
            runtime::PostEvent(runtime::EvControl, MainWindow, focused, 0);
        else if (focused == NewsList || focused == ArticlesList)
            OpenNewsItem(focused, 2);
        break;
    case ui::VkF5:
        if (F5RefreshesContent(lastEventWindow, CurrentTab, focused))
            RefreshContent(true);
        // The installed-apps check arrives with the updater.
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
    if (!FilterAppliesToApps)
        RefreshContent(false);
    // With the apps tab shown the updater filters its own list.
}

void OnPlatformCombo()
{
    settings::AppSettings& s = settings::Settings;
    s.Platform = content::PlatformForComboIndex(static_cast<int>(ui::State(PlatformCombo)), s.Platform);
    ui::SetTooltip(PlatformCombo, content::PlatformTooltip(s.Platform));
    RefreshContent(false);
    ShowListSummary(CurrentTab);
    settings::SaveSettings();
}

void OnControl(int64_t control, int64_t type)
{
    if (control > 24)
        LastUsedControl = control;
    switch (control) {
    case 20:
        OpenInBrowser(MenuLink(20, runtime::SiteBaseUrl()));
        break;
    case 21:
        OpenInBrowser(MenuLink(21, runtime::SiteBaseUrl()));
        break;
    case 22:
        OpenSettingsWindow();
        break;
    case 23:
        if (type == ui::ControlClick)
            RefreshContent(true);
        break;
    case 25:
        if (type == ui::ControlFocus)
            ui::SelectAllText(SearchBox);
        UpdateSearchBoxLook();
        break;
    case 26:
        SiteSearch();
        break;
    case 27: {
        const int tab = static_cast<int>(ui::State(ContentTabs));
        if (tab != LastSeenTab) {
            LastSeenTab = tab;
            CurrentTab = tab;
            ShowListSummary(tab);
        }
        break;
    }
    case 31:
    case 34:
        OpenFileItem(control, type);
        break;
    case 36:
        OnFilterBox(type);
        break;
    case 37:
        OnPlatformCombo();
        break;
    case 39:
        if (runtime::UpdaterAvailable.load() != 1)
            OpenInBrowser(StoreUrl);
        break;
    case 40:
        OpenSoftwareCentre();
        break;
    case 44:
        OpenPictureStory();
        break;
    case 48:
    case 49:
        OpenNewsItem(control, type);
        break;
    case 14:
        CloseSettingsWindow();
        break;
    default:
        break; // settings controls 1-13 and the updater's controls come later
    }
}

} // namespace

bool F5RefreshesContent(int64_t lastEventWindow, int currentTab, int64_t focused)
{
    if (lastEventWindow != MainWindow || (currentTab != TabToday && currentTab != TabYesterday))
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
    return lastEventWindow == MainWindow && currentTab == TabInstalledApps && updaterAvailable;
}

QString MenuLink(int64_t item, const QString& baseUrl)
{
    switch (item) {
    case 4:
        return QStringLiteral("https://www.facebook.com/zorvane");
    case 5:
        return QStringLiteral("https://x.com/zorvane");
    case 6:
        return QStringLiteral("https://www.youtube.com/@zorvane");
    case 8:
    case 20:
        return baseUrl;
    case 9:
        return baseUrl + QStringLiteral("/zv/topdownloads/index.html");
    case 10:
        return baseUrl + QStringLiteral("/news/archive");
    case 11:
        return baseUrl + QStringLiteral("/news/channels/off_base.html");
    case 12:
        return baseUrl + QStringLiteral("/news/channels/way_off_base.html");
    case 21:
        return baseUrl + QStringLiteral("/content/page/donations.html");
    default:
        return QString();
    }
}

void DispatchEvent(int32_t kind, int64_t window, int64_t object, int64_t type, int64_t param)
{
    switch (kind) {
    case runtime::EvTray:
        if (type == 0)
            ShowMainWindow();
        else if (type == 1)
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

void RunEventLoop()
{
    for (;;) {
        const int32_t kind = runtime::WaitEvent(1);
        const int64_t window = runtime::EventWindow();
        const int64_t object = runtime::EventObject();
        const int64_t type = runtime::EventType();
        const int64_t param = runtime::EventParam();
        if (AutoRefreshDue(settings::Settings.Refresh_Rate, runtime::NextRefreshTime.load(), runtime::ElapsedMs()))
            RefreshContent(true);
        ApplyPictureTooltip();
        DispatchEvent(kind, window, object, type, param);
    }
}

} // namespace app
