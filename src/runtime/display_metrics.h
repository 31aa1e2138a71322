#pragma once

#include <cstdint>

namespace runtime {

/// What the layout rules need to know about the screen.
struct DisplayMetrics
{
    double uiScale = 0.96;  // horizontal logical DPI / 100
    int screenWidth = 1920; // primary screen, pixels
    int screenHeight = 1080;
};

/// The metrics read at start-up. GUI thread.
inline DisplayMetrics Display;

/// A design size in pixels: `design` x `uiScale`, rounded to the nearest
/// integer with halves going to the even neighbour.
int64_t Scaled(double design, double uiScale);

/// Minimum inner size of the main window: 700 x 500 design units.
int64_t MinWindowWidth(const DisplayMetrics& display);
int64_t MinWindowHeight(const DisplayMetrics& display);

/// Default window geometry: 1200 x 700 design units, centred on the primary
/// screen (halves truncated toward zero).
struct WindowGeometry
{
    int64_t x = 0;
    int64_t y = 0;
    int64_t width = 0;
    int64_t height = 0;
};
WindowGeometry DefaultWindowGeometry(const DisplayMetrics& display);

} // namespace runtime
