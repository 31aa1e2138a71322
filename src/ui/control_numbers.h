#pragma once

#include <cstdint>

// The program's windows and controls by number. Events, enabling and texts
// all refer to these, so they never change.

namespace ui::no {

// Windows
constexpr int64_t SettingsWindow = 0;
constexpr int64_t MainWindow = 15;
constexpr int64_t TrayIcon = 16;
constexpr int64_t RefreshingWindow = 17;

// Settings window controls
constexpr int64_t SettingsColours = 1;
constexpr int64_t SettingsRunAtStartup = 2;
constexpr int64_t SettingsRunMinimized = 3;
constexpr int64_t SettingsCloseToTray = 4;
constexpr int64_t SettingsRefreshPicture = 5;
constexpr int64_t SettingsRefreshLabel = 6;
constexpr int64_t SettingsRefreshRate = 7;
constexpr int64_t SettingsRefreshUnit = 8;
constexpr int64_t SettingsAlertLabel = 9;
constexpr int64_t SettingsAlertNames = 10;
constexpr int64_t SettingsAlertHighlight = 11;
constexpr int64_t SettingsAlertPopup = 12;
constexpr int64_t SettingsVersionShown = 13;
constexpr int64_t SettingsClose = 14;

// Refreshing window controls
constexpr int64_t RefreshingText = 18;
constexpr int64_t RefreshingIcon = 19;

// Main window controls
constexpr int64_t VisitSiteImage = 20;
constexpr int64_t DonateImage = 21;
constexpr int64_t SettingsImage = 22;
constexpr int64_t RefreshImage = 23;
constexpr int64_t WinkImage = 24;
constexpr int64_t SearchBox = 25;
constexpr int64_t SearchButton = 26;
constexpr int64_t ContentTabs = 27;
constexpr int64_t TabStripLine = 28;
constexpr int64_t TodayHeader = 29;
constexpr int64_t TodayHeaderLogo = 30;
constexpr int64_t TodayList = 31;
constexpr int64_t YesterdayHeader = 32;
constexpr int64_t YesterdayHeaderLogo = 33;
constexpr int64_t YesterdayList = 34;
constexpr int64_t FilterLabel = 35;
constexpr int64_t FilterBox = 36;
constexpr int64_t PlatformCombo = 37;
constexpr int64_t AppsList = 38;
constexpr int64_t AppsCheckButton = 39;
constexpr int64_t ControlPanelButton = 40;
constexpr int64_t AppsInfoBox = 41;
constexpr int64_t SelectUpdatesButton = 42;
constexpr int64_t StartUpdatesButton = 43;
constexpr int64_t PictureImage = 44;
constexpr int64_t NewsTabs = 45;
constexpr int64_t NewsTabLine = 46;
constexpr int64_t ProductCaption = 47;
constexpr int64_t NewsList = 48;
constexpr int64_t ArticlesList = 49;
constexpr int64_t StatusLine = 50;

} // namespace ui::no
