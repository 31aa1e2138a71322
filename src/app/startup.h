#pragma once

namespace app {

/// The main program: start-up in its fixed order, then the event loop. Ends
/// the process through QuitApplication or one of the early exits (a second
/// instance, a failed window); the return value is the exit code.
int RunProgram(int argc, char** argv);

} // namespace app
