#include "app/startup_shortcut.h"

#include "app/desktop_texts.h"
#include "app/message_box.h"
#include "runtime/app_identity.h"
#include "runtime/app_paths.h"
#include "runtime/file_ops.h"
#include "settings/app_settings.h"
#include "settings/autostart_entry.h"

namespace app {

void ApplyStartupShortcut()
{
    const QString path = runtime::StartupDir + runtime::AppTitle + QStringLiteral(".desktop");
    runtime::FileDelete(path, true);
    if (settings::Settings.App_Run_At_Startup != 1)
        return;
    if (!settings::DesktopsCanStart(runtime::ProgramPath)) {
        ShowMessageBox(runtime::AppTitle,
                       QStringLiteral("Couldn't set this application to run at startup. :(\nDesktops can't start a "
                                      "program whose path contains \"%\":\n") +
                           runtime::ProgramPath,
                       FlagsWarningIcon);
        return;
    }
    const QByteArray entry =
        settings::AutostartEntry(runtime::ProgramPath, runtime::ProgramDir, runtime::AppTitle, runtime::DesktopId);
    if (!runtime::ReplaceFile(path, entry))
        ShowMessageBox(runtime::AppTitle, OnLinux(DesktopText::StartupEntryFailed), FlagsWarningIcon);
}

} // namespace app
