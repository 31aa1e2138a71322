#pragma once

#include <QString>

#include <cstdint>

namespace app {

// When the next automatic refresh is due, and what the refresh button's
// tooltip says about it.

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
