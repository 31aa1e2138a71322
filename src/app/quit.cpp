#include "app/quit.h"

#include "runtime/app_paths.h"
#include "runtime/clock.h"
#include "runtime/file_ops.h"
#include "runtime/http_transfer.h"
#include "runtime/process_state.h"
#include "runtime/single_instance.h"
#include "runtime/threads.h"
#include "settings/settings_file.h"
#include "ui/tray_icon.h"

#include <cstdlib>

namespace app {

void RunQuitSteps()
{
    runtime::QuitRequested = 1; // workers end after their current cycle; nobody waits for them
    runtime::WakeSleepers();
    runtime::DeleteMatchingFiles(runtime::ProgramDir, QStringLiteral("*.log"));
    runtime::FileDelete(runtime::PictureTempPath, true);
    settings::SaveSettings();
}

void QuitApplication()
{
    RunQuitSteps();
    // Workers are let go, not waited for; they see QuitRequested or simply end
    // with the process.
    runtime::ThreadReleaseAll();
    ui::TrayRemoveAll();
    runtime::ReleaseSingleInstance();
    runtime::HttpServiceStop();
    std::exit(0);
}

} // namespace app
