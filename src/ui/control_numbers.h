#pragma once

#include <cstdint>

// The program's windows and controls by number. Events, enabling and texts
// all refer to these, so they never change. Each is listed once, here, with
// the internal name its widget carries.

// clang-format off
#define ZORVANE_CONTROLS(X) \
    /* windows */ \
    X(SettingsWindow, 0) \
    X(MainWindow, 15) \
    X(TrayIcon, 16) \
    X(RefreshingWindow, 17) \
    /* settings window controls */ \
    X(SettingsColours, 1) \
    X(SettingsRunAtStartup, 2) \
    X(SettingsRunMinimized, 3) \
    X(SettingsCloseToTray, 4) \
    X(SettingsRefreshPicture, 5) \
    X(SettingsRefreshLabel, 6) \
    X(SettingsRefreshRate, 7) \
    X(SettingsRefreshUnit, 8) \
    X(SettingsAlertLabel, 9) \
    X(SettingsAlertNames, 10) \
    X(SettingsAlertHighlight, 11) \
    X(SettingsAlertPopup, 12) \
    X(SettingsVersionShown, 13) \
    X(SettingsClose, 14) \
    /* refreshing window controls */ \
    X(RefreshingText, 18) \
    X(RefreshingIcon, 19) \
    /* main window controls */ \
    X(VisitSiteImage, 20) \
    X(DonateImage, 21) \
    X(SettingsImage, 22) \
    X(RefreshImage, 23) \
    X(WinkImage, 24) \
    X(SearchBox, 25) \
    X(SearchButton, 26) \
    X(ContentTabs, 27) \
    X(TabStripLine, 28) \
    X(TodayHeader, 29) \
    X(TodayHeaderLogo, 30) \
    X(TodayList, 31) \
    X(YesterdayHeader, 32) \
    X(YesterdayHeaderLogo, 33) \
    X(YesterdayList, 34) \
    X(FilterLabel, 35) \
    X(FilterBox, 36) \
    X(PlatformCombo, 37) \
    X(AppsList, 38) \
    X(AppsCheckButton, 39) \
    X(ControlPanelButton, 40) \
    X(AppsInfoBox, 41) \
    X(SelectUpdatesButton, 42) \
    X(StartUpdatesButton, 43) \
    X(PictureImage, 44) \
    X(NewsTabs, 45) \
    X(NewsTabLine, 46) \
    X(ProductCaption, 47) \
    X(NewsList, 48) \
    X(ArticlesList, 49) \
    X(StatusLine, 50)
// clang-format on

namespace ui::no {

#define ZORVANE_CONTROL_NUMBER(name, number) constexpr int64_t name = number;
ZORVANE_CONTROLS(ZORVANE_CONTROL_NUMBER)
#undef ZORVANE_CONTROL_NUMBER

} // namespace ui::no

namespace ui {

/// The internal name of a window or control ("TodayList"); empty for an
/// unknown number. Any thread.
constexpr const char* ControlName(int64_t number)
{
#define ZORVANE_CONTROL_NAME(name, value)                                                                              \
    if (number == (value))                                                                                             \
        return #name;
    ZORVANE_CONTROLS(ZORVANE_CONTROL_NAME)
#undef ZORVANE_CONTROL_NAME
    return "";
}

} // namespace ui
