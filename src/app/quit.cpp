#include "app/quit.h"

#include "runtime/app_paths.h"
#include "runtime/clock.h"
#include "runtime/file_ops.h"
#include "runtime/process.h"
#include "runtime/process_end.h"
#include "runtime/process_state.h"
#include "runtime/single_instance.h"
#include "settings/settings_file.h"
#include "ui/tray_icon.h"

namespace app {

void RunQuitSteps()
{
    runtime::QuitRequested = 1; // workers end after their current cycle; nobody waits for them
    runtime::WakeSleepers();
    // A check or an upgrade may be running (the quit can come while one
    // pumps events): its tool and what it started are ended, not left behind.
    runtime::EndAllProcesses(runtime::ProcessEndGraceMs);
    runtime::DeleteMatchingFiles(runtime::ProgramDir, QStringLiteral("*.log"));
    runtime::FileDelete(runtime::PictureTempPath, true);
    settings::SaveSettings();
}

void QuitApplication()
{
    RunQuitSteps();
    ui::TrayRemoveAll();
    runtime::ReleaseSingleInstance();
    // Workers are not waited for: the picture download may hang for up to a
    // minute. So nothing shared with them is released either (libcurl's
    // global state, the globals they write): the process ends around them.
    runtime::EndProcess(0);
}

} // namespace app
