#include "runtime/display_metrics.h"

#include <cmath>

namespace runtime {

int64_t Scaled(double design, double uiScale)
{
    // nearbyint follows the default rounding mode, round-half-to-even.
    return static_cast<int64_t>(std::nearbyint(design * uiScale));
}

int64_t MinWindowWidth(const DisplayMetrics& display)
{
    return Scaled(700, display.uiScale);
}

int64_t MinWindowHeight(const DisplayMetrics& display)
{
    return Scaled(500, display.uiScale);
}

WindowGeometry DefaultWindowGeometry(const DisplayMetrics& display)
{
    WindowGeometry g;
    g.width = Scaled(1200, display.uiScale);
    g.height = Scaled(700, display.uiScale);
    g.x = (display.screenWidth - g.width) / 2;
    g.y = (display.screenHeight - g.height) / 2;
    return g;
}

} // namespace runtime
