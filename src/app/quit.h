#pragma once

namespace app {

/// The quit steps that leave files behind in order: quit flag, "*.log" files
/// directly beside the program deleted (read-only ones and sub-folders left),
/// the temporary picture deleted, the settings saved. GUI thread.
void RunQuitSteps();

/// RunQuitSteps, then releases what the process holds and ends it with exit
/// code 0. Called only from the event loop. Never returns.
[[noreturn]] void QuitApplication();

} // namespace app
