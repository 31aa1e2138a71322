#pragma once

#include "runtime/display_metrics.h"

#include <QString>

#include <cstdint>

namespace settings {

/// The user's preferences and the main window's last placement. One field
/// per key of the settings file, named as the file writes it.
struct AppSettings
{
    int64_t App_W = 0;
    int64_t App_H = 0;
    int64_t App_X = 0;
    int64_t App_Y = 0;
    int64_t App_Maxed = 0;
    int64_t App_Run_At_Startup = 0;
    int64_t App_Run_Minimized = 0;
    int64_t App_Close_To_Tray = 0;
    QString Alert_Names;
    int64_t Alert_Highlight = 1;
    int64_t Alert_Popup = 1;
    int64_t Zorva_Colors = 1;
    QString Platform = QStringLiteral("All");
    int64_t Refresh_Picture = 1;
    int64_t Refresh_Rate = 0;
    int64_t Version_Shown = 1;
};

/// The record in memory for the whole run. GUI thread only.
inline AppSettings Settings;

/// Defaults, whose geometry depends on the scale and the primary screen.
AppSettings DefaultSettings(const runtime::DisplayMetrics& display);

/// Number of alert names: the commas in `alertNames` plus 1 (1 when empty).
int64_t AlertNameCount(const QString& alertNames);

/// True for the five platform values the file may hold.
bool IsKnownPlatform(const QString& platform);

} // namespace settings
