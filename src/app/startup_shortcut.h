#pragma once

namespace app {

/// Brings the autostart entry in line with `App_Run_At_Startup`: removes
/// any entry of the program, even a read-only one, and with the setting at
/// 1 writes a fresh one for the program's current path. When that cannot be
/// written, says so in a message box; the setting is left as it is. GUI
/// thread.
void ApplyStartupShortcut();

} // namespace app
