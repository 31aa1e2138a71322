#pragma once

#include <functional>

namespace runtime {

/// From now on the requests to end the process that come from outside (the
/// session ending sends SIGTERM, Ctrl+C in a terminal SIGINT, closing that
/// terminal SIGHUP) no longer kill
/// it on the spot: each one calls `onSignal` on the GUI thread the next time
/// it pumps events, so the program can quit its own way. Needs the
/// application object; call once. False when the watch could not be set up
/// (the signals then keep their default effect). GUI thread.
bool WatchQuitSignals(std::function<void()> onSignal);

/// From now on a write to a pipe or socket whose reader has gone fails with
/// EPIPE instead of ending the program with SIGPIPE. Children started later
/// get the default back (the process runner resets it). Call once at start.
void IgnoreBrokenPipes();

} // namespace runtime
