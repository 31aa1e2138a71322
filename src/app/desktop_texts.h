#pragma once

#include <QString>

#include <cstddef>

namespace app {

// The few texts of the program that name a Windows service, each beside what
// a Linux desktop shows instead. The program shows the Linux column; the other
// stays here so that the mapping can be read in one place. Every other text is
// shown as it was written.

enum class DesktopText {
    StoreButton,            ///< AppsCheckButton without a package manager
    MissingUpdaterSentence, ///< first sentence of the notice without one
    MissingUpdaterAdvice,   ///< the rest of that notice
    ColourSchemeBox,        ///< SettingsColours
    RunAtStartupBox,        ///< SettingsRunAtStartup
    StartupEntryFailed,     ///< the box when the autostart entry can't be written
    UpgradePrompts,         ///< end of the question before several upgrades
    SoftwareCentreTooltip,  ///< ControlPanelButton
};

struct DesktopTextRow
{
    DesktopText id;
    const char* windows;
    const char* onLinux;
};

inline constexpr DesktopTextRow DesktopTexts[] = {
    {DesktopText::StoreButton, "Go to the Microsoft Store", "Set up Flatpak"},
    {DesktopText::MissingUpdaterSentence, "Microsoft App Installer was not found.", "No package manager was found."},
    {DesktopText::MissingUpdaterAdvice,
     " You will need to install this from the Microsoft Store for software updates to work. Also please note that "
     "software updates will only work on Windows 10 and 11.",
     " You will need Flatpak or PackageKit for software updates to work."},
    {DesktopText::ColourSchemeBox, "Use the Zorvane color scheme (untick to use the Windows scheme).",
     "Use the Zorvane color scheme (untick to use the desktop's scheme)."},
    {DesktopText::RunAtStartupBox, "Automatically start this application when Windows starts or you log on.",
     "Automatically start this application when you log in."},
    {DesktopText::StartupEntryFailed,
     "Couldn't set this application to run at startup. :(\nThis error normally occurs if no user profile exists,\nor "
     "the user profile hasn't been logged into yet.",
     "Couldn't set this application to run at startup. :(\nThis error normally occurs when the autostart "
     "folder\n(~/.config/autostart) can't be written."},
    {DesktopText::UpgradePrompts, "You might need to respond to UAC prompts, so stick around.",
     "You might be asked for your password, so stick around."},
    {DesktopText::SoftwareCentreTooltip, "Uninstall or change programs in Control Panel",
     "Uninstall or change programs in the software centre"},
};

/// The text the program shows for `id` (UTF-8). Any thread.
constexpr const char* OnLinuxUtf8(DesktopText id)
{
    return DesktopTexts[static_cast<std::size_t>(id)].onLinux;
}

/// The same as a QString.
inline QString OnLinux(DesktopText id)
{
    return QString::fromUtf8(OnLinuxUtf8(id));
}

// The rows are indexed by their id.
static_assert([] {
    for (std::size_t i = 0; i < std::size(DesktopTexts); ++i)
        if (static_cast<std::size_t>(DesktopTexts[i].id) != i)
            return false;
    return true;
}());

} // namespace app
