#pragma once

#include <QString>

namespace runtime {

// Paths derived once at start-up (GUI thread) and read everywhere after.
// Every folder ends with "/".

inline QString ProgramPath;     // the program file itself
inline QString ProgramDir;      // folder of the program file
inline QString SettingsPath;    // the settings file
inline QString StartupDir;      // XDG autostart folder
inline QString LocalAppDataDir; // XDG data folder
inline QString WingetPath;      // where the package manager is looked for
inline QString PictureTempPath; // the downloaded picture of the day

/// The settings file beside the program when its folder is writable (portable
/// use); otherwise in `configHome` + "zorvane/". Pure.
QString ChooseSettingsPath(const QString& programDir, const QString& configHome, bool programDirWritable);

/// `$XDG_CONFIG_HOME` (default ~/.config), ending with "/".
QString ConfigHome();

/// Fills the paths above from the program's own location and the XDG
/// variables. Needs a QCoreApplication. GUI thread.
void InitAppPaths();

} // namespace runtime
