#pragma once

namespace app {

/// The quit steps that leave files behind in order: quit flag, running
/// package-manager tools ended (their process groups asked, then killed after
/// a grace), "*.log" files directly beside the program deleted (read-only
/// ones and sub-folders left), the temporary picture deleted, the settings
/// saved. GUI thread.
void RunQuitSteps();

/// RunQuitSteps, then takes the icon off the panel, lets another copy start
/// and ends the process with exit code 0 without waiting for the workers.
/// Called only from the event loop. Never returns.
[[noreturn]] void QuitApplication();

} // namespace app
