#include "app/quit.h"

#include "runtime/app_paths.h"
#include "runtime/file_ops.h"
#include "runtime/process_state.h"
#include "runtime/single_instance.h"
#include "settings/settings_file.h"

#include <cstdlib>

namespace app {

void RunQuitSteps()
{
    runtime::QuitRequested = 1; // workers end after their current cycle; nobody waits for them
    runtime::DeleteMatchingFiles(runtime::ProgramDir, QStringLiteral("*.log"));
    runtime::FileDelete(runtime::PictureTempPath, true);
    settings::SaveSettings();
}

void QuitApplication()
{
    RunQuitSteps();
    // Later steps release the tray icon, windows and the network layer here.
    runtime::ReleaseSingleInstance();
    std::exit(0);
}

} // namespace app
