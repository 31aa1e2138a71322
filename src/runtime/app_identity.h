#pragma once

#include <QString>

namespace runtime {

// The program's fixed names and the texts several subsystems show.

inline const QString AppTitle = QStringLiteral("Zorvane Software Updates and News");
inline const QString AppVersion = QStringLiteral("4.01");
/// The reverse-DNS name of the installed program: its desktop entry is
/// DesktopId + ".desktop", its icon and AppStream metainfo carry the same
/// name, and it is the Wayland app id. resources/CMakeLists.txt repeats it.
inline const QString DesktopId = QStringLiteral("com.zorvane.SoftwareUpdatesAndNews");
inline const QString SiteDisplayName = QStringLiteral("Zorvane.com");
inline const QString SiteSearchAccount = QStringLiteral("partner-pub-0000000000000000%3Azorvane");

inline const QString ReadyText = QStringLiteral("Ready.");
inline const QString BusyText = QStringLiteral("(Refreshing)");
inline const QString HintText =
    QStringLiteral("Select a file to view its full description here; or double-click any file or list item to read "
                   "more at ") +
    SiteDisplayName + QStringLiteral(".");
inline const QString NoContentText =
    QStringLiteral("No content shown? Has a filter or platform been set, and/or is the internet available for this "
                   "app with no firewall blocking it?");
inline const QString UnknownVersionText = QStringLiteral("Unknown");
inline const QString DefaultPlatform = QStringLiteral("All");

/// The site's base address (scheme and host, no trailing "/"):
/// "https://www.zorvane.com", or the value of ZORVANE_SITE_URL when that is
/// set (the bundled sample site and the tests use it). Any thread.
QString SiteBaseUrl();

/// Linux counts as a current desktop system.
constexpr int OsVersionCode = 110;

} // namespace runtime
