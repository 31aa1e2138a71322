#pragma once

#include "settings/app_settings.h"

#include <QString>
#include <QStringList>

#include <cstdint>

namespace settings {

/// Applies one line of the settings file to `s`: a line that starts exactly
/// with a key, " = " and a value sets that key after checking the value;
/// anything else is ignored. Pure.
void ApplySettingsLine(AppSettings& s, const QString& line, const runtime::DisplayMetrics& display);

/// Largest settings file read, in bytes. The file is a few hundred bytes: a
/// larger one is damaged, and reading it would hold up start-up.
inline constexpr int64_t MaxSettingsFileBytes = 64 * 1024;

/// Reads the file at `path` line by line into `s`. False when it cannot be
/// opened or is larger than MaxSettingsFileBytes (then `s` is untouched).
/// GUI thread.
bool LoadSettingsFile(const QString& path, AppSettings& s, const runtime::DisplayMetrics& display);

/// Most bytes of UTF-8 the alert names take in the file, so that a saved file
/// always stays under MaxSettingsFileBytes and is read back whole (the box
/// takes far more characters than that).
inline constexpr qsizetype MaxAlertNamesBytes = 32 * 1024;

/// The lines of the file for `s`, without line ends: two comment lines, then
/// one line per key. Line breaks inside text values become blanks; the alert
/// names are cut to MaxAlertNamesBytes on a character boundary.
QStringList SettingsFileLines(const AppSettings& s);

/// Writes `s` to `path` so that the old file is replaced whole or not at all:
/// a temporary file beside it is written, flushed to disk and renamed over it.
/// False when the folder cannot be written; the old file is then unchanged.
bool SaveSettingsFile(const QString& path, const AppSettings& s);

/// LoadSettingsFile / SaveSettingsFile for the process-wide `Settings`, at
/// runtime::SettingsPath with runtime::Display. Failures are silent.
void LoadSettings();
void SaveSettings();

} // namespace settings
