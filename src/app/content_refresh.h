#pragma once

namespace app {

/// Brings site content on screen. With `fetch`: downloads the home page and
/// the two news channels (and the picture beside them), with the busy
/// captions, the refreshing window and the blinking tray icon, and reports
/// the outcome. Without: only re-scans the cached home page. Events that
/// arrive meanwhile are drained, so nothing starts a second refresh inside
/// this one. GUI thread.
void RefreshContent(bool fetch);

} // namespace app
