#pragma once

#include <cstdint>

// The program's windows and controls by number. Events, enabling and texts
// all refer to these, so they never change. Each is listed once, here, with
// the internal name its widget carries and the name a screen reader speaks
// for it: a short label of what it is, or empty where the control's own
// visible caption says it (check boxes, push buttons, fixed labels; windows
// speak their caption). tools/a11y/controls.tsv mirrors the spoken names
// for the accessibility check; a test keeps the two in step.

// clang-format off
#define ZORVANE_CONTROLS(X) \
    /* windows */ \
    X(SettingsWindow, 0, "") \
    X(MainWindow, 15, "") \
    X(TrayIcon, 16, "") \
    X(RefreshingWindow, 17, "") \
    /* settings window controls */ \
    X(SettingsColours, 1, "") \
    X(SettingsRunAtStartup, 2, "") \
    X(SettingsRunMinimized, 3, "") \
    X(SettingsCloseToTray, 4, "") \
    X(SettingsRefreshPicture, 5, "") \
    X(SettingsRefreshLabel, 6, "") \
    X(SettingsRefreshRate, 7, "Minutes between automatic refreshes") \
    X(SettingsRefreshUnit, 8, "") \
    X(SettingsAlertLabel, 9, "") \
    X(SettingsAlertNames, 10, "Name alerts") \
    X(SettingsAlertHighlight, 11, "") \
    X(SettingsAlertPopup, 12, "") \
    X(SettingsVersionShown, 13, "") \
    X(SettingsClose, 14, "") \
    /* refreshing window controls */ \
    X(RefreshingText, 18, "Refresh message") \
    X(RefreshingIcon, 19, "Refresh in progress") \
    /* main window controls */ \
    X(VisitSiteImage, 20, "Zorvane.com logo") \
    X(DonateImage, 21, "Donate") \
    X(SettingsImage, 22, "Settings") \
    X(RefreshImage, 23, "Refresh") \
    X(WinkImage, 24, "Smiling face") \
    X(SearchBox, 25, "Search text") \
    X(SearchButton, 26, "Search Zorvane.com") \
    X(ContentTabs, 27, "Files and apps") \
    X(TabStripLine, 28, "Line under the file tabs") \
    X(TodayHeader, 29, "Today's columns") \
    X(TodayHeaderLogo, 30, "Logo over today's files") \
    X(TodayList, 31, "Today's files") \
    X(YesterdayHeader, 32, "Yesterday's columns") \
    X(YesterdayHeaderLogo, 33, "Logo over yesterday's files") \
    X(YesterdayList, 34, "Yesterday's files") \
    X(FilterLabel, 35, "") \
    X(FilterBox, 36, "Filter text") \
    X(PlatformCombo, 37, "Platform") \
    X(AppsList, 38, "Installed apps") \
    X(AppsCheckButton, 39, "") \
    X(ControlPanelButton, 40, "Uninstall or change programs") \
    X(AppsInfoBox, 41, "Updater notice") \
    X(SelectUpdatesButton, 42, "") \
    X(StartUpdatesButton, 43, "") \
    X(PictureImage, 44, "Picture of the day") \
    X(NewsTabs, 45, "News and articles") \
    X(NewsTabLine, 46, "Line under the news tabs") \
    X(ProductCaption, 47, "Site tag line") \
    X(NewsList, 48, "Latest news") \
    X(ArticlesList, 49, "Latest articles") \
    X(StatusLine, 50, "Status")
// clang-format on

namespace ui::id {

#define ZORVANE_CONTROL_NUMBER(name, number, spoken) constexpr int64_t name = number;
ZORVANE_CONTROLS(ZORVANE_CONTROL_NUMBER)
#undef ZORVANE_CONTROL_NUMBER

} // namespace ui::id

namespace ui::tab {

/// The pages of ContentTabs, in the order the main window adds them.
constexpr int Today = 0;
constexpr int Yesterday = 1;
constexpr int InstalledApps = 2;

/// The pages of NewsTabs.
constexpr int News = 0;
constexpr int Articles = 1;

} // namespace ui::tab

namespace ui {

/// The internal name of a window or control ("TodayList"); empty for an
/// unknown number. Any thread.
constexpr const char* ControlName(int64_t number)
{
#define ZORVANE_CONTROL_NAME(name, value, spoken)                                                                      \
    if (number == (value))                                                                                             \
        return #name;
    ZORVANE_CONTROLS(ZORVANE_CONTROL_NAME)
#undef ZORVANE_CONTROL_NAME
    return "";
}

/// The name a screen reader speaks for a control without a caption of its
/// own ("Today's files"); empty where the caption speaks, and for unknown
/// numbers. UTF-8. Any thread.
constexpr const char* SpokenName(int64_t number)
{
#define ZORVANE_CONTROL_SPOKEN(name, value, spoken)                                                                    \
    if (number == (value))                                                                                             \
        return spoken;
    ZORVANE_CONTROLS(ZORVANE_CONTROL_SPOKEN)
#undef ZORVANE_CONTROL_SPOKEN
    return "";
}

} // namespace ui
