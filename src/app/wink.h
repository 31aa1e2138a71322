#pragma once

namespace app {

/// The wink animation: every 30 to 60 s the wink image blinks for 2 s. Runs
/// on its own thread until QuitRequested.
void WinkThread();

} // namespace app
