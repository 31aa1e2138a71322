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
inline QString WingetPath;      // the package manager the updater runs
inline QString PictureTempPath; // the downloaded picture of the day

/// The settings file beside the program for a portable copy; otherwise in
/// `configHome` + "zorvane/". Pure.
QString ChooseSettingsPath(const QString& programDir, const QString& configHome, bool portable);

/// Whether `programDir` (ending with "/") holds a portable copy, which keeps
/// its settings beside itself: the folder is writable (FolderWritable) and is
/// not the program folder of an installation. An installation is recognised
/// by its desktop entry, `programDir` + "../share/applications/" + DesktopId +
/// ".desktop", so an installed program run by root, or installed into a
/// prefix the user owns, still keeps its settings in the config folder.
/// Reads the file system. Any thread.
bool IsPortableProgramDir(const QString& programDir);

/// File name of the program's own package-manager bridge, installed beside it.
inline const QString PackageBridgeName = QStringLiteral("zorvane-packages");

/// The package manager's path: `chosen` (ZORVANE_PACKAGE_MANAGER, which tests
/// and other installs use) when set, else the bridge in `programDir`. Pure.
QString ChoosePackageManagerPath(const QString& programDir, const QString& chosen);

/// `$XDG_CONFIG_HOME` (default ~/.config), ending with "/".
QString ConfigHome();

/// The folder for the user's run-time files (the instance lock, the picture
/// of the day), which no other user can reach, ending with "/": the runtime
/// folder (QStandardPaths) when it is private (IsPrivateFolder), else
/// "zorvane-" + the user id in the temporary folder, else "zorvane-runtime"
/// in ConfigHome(), each made private when missing; never the shared
/// temporary folder itself. Empty when none of them is private. Any thread.
QString PrivateRuntimeFolder();

/// Fills the paths above from the program's own location and the XDG
/// variables. Needs a QCoreApplication. GUI thread.
void InitAppPaths();

} // namespace runtime
