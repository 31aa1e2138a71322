#include "app/refresh_schedule.h"

#include "runtime/clock.h"
#include "runtime/dates.h"
#include "runtime/process_state.h"
#include "settings/app_settings.h"
#include "ui/control_numbers.h"
#include "ui/controls.h"

#include <algorithm>
#include <climits>

namespace app {

QString RefreshTooltipText(int64_t refreshRate, const QString& nextTime)
{
    QString tip = QStringLiteral("Refresh now (F5)");
    if (refreshRate > 0)
        tip += QStringLiteral("; or next auto-refresh at ") + nextTime;
    return tip;
}

bool AutoRefreshDue(int64_t refreshRate, int64_t nextRefreshTime, int64_t nowMs)
{
    return refreshRate > 0 && nextRefreshTime < nowMs;
}

int32_t LoopWaitMs(int64_t refreshRate, int64_t nextRefreshTime, int64_t nowMs)
{
    if (refreshRate <= 0)
        return -1;
    if (AutoRefreshDue(refreshRate, nextRefreshTime, nowMs))
        return 0;
    // Due once the clock has passed the deadline, hence the one more.
    return static_cast<int32_t>(std::min<int64_t>(nextRefreshTime - nowMs + 1, INT32_MAX));
}

void UpdateRefreshTooltip()
{
    const int64_t rate = settings::Settings.Refresh_Rate;
    QString next;
    if (rate > 0) {
        runtime::NextRefreshTime = runtime::ElapsedMs() + rate * 60000;
        next = runtime::DateFormat(QStringLiteral("%hh:%ii:%ss"), runtime::DateAddMinutes(runtime::DateNow(), rate));
    }
    ui::SetTooltip(ui::id::RefreshImage, RefreshTooltipText(rate, next));
}

} // namespace app
