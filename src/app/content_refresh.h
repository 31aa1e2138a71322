#pragma once

#include "ui/images.h"

#include <QString>

#include <optional>

namespace app {

/// Brings site content on screen. With `fetch`: downloads the home page and
/// the two news channels (and the picture beside them), with the busy
/// captions, the refreshing window and the blinking tray icon, and reports
/// the outcome. Without: only re-scans the cached home page. Events that
/// arrive meanwhile are drained, so nothing starts a second refresh inside
/// this one. GUI thread.
void RefreshContent(bool fetch);

/// Shows the small refreshing window centred over a visible main window
/// (which it disables) with `text` and `icon` (the refresh icon when none);
/// an empty text hides it and enables the main window again. GUI thread.
void ShowRefreshingWindow(const QString& text, std::optional<ui::ImageId> icon = std::nullopt);

/// Plans the next automatic refresh and says when in RefreshImage's tooltip.
void UpdateRefreshTooltip();

/// The refresh button's tooltip for a refresh rate and the planned time
/// ("hh:mm:ss"). Pure.
QString RefreshTooltipText(int64_t refreshRate, const QString& nextTime);

/// True when an automatic refresh is due at `nowMs`. Pure.
bool AutoRefreshDue(int64_t refreshRate, int64_t nextRefreshTime, int64_t nowMs);

/// How long the main loop may wait for the next event at `nowMs` without
/// missing the automatic refresh: until just past its deadline, 0 when it
/// is due, -1 (no limit) without one. Pure.
int32_t LoopWaitMs(int64_t refreshRate, int64_t nextRefreshTime, int64_t nowMs);

} // namespace app
