#include "app/settings_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

using app::ComputeSettingsWindowLayout;
using app::SettingsWindowLayout;

namespace {

constexpr int FirstControl = 1;
constexpr int LastControl = 14;
constexpr int CloseButton = 14;

// The scales of the common desktop resolutions (logical DPI / 100) and the
// plain 1.0.
const struct Scale
{
    const char* name;
    double value;
} Scales[] = {
    {"96 dpi", 0.96}, {"scale 1", 1.0}, {"120 dpi", 1.2}, {"144 dpi", 1.44}, {"192 dpi", 1.92},
};

QRect At(const SettingsWindowLayout& layout, int number)
{
    return layout.controls[static_cast<size_t>(number)];
}

/// Both rectangles share at least one pixel row.
bool SameRow(const QRect& a, const QRect& b)
{
    return a.top() <= b.bottom() && b.top() <= a.bottom();
}

} // namespace

TEST(SettingsWindowLayout, RoundsEachRowOnTheRowAbove)
{
    // Rounding each row on the rounded row above, not the sum of the steps,
    // decides where the last rows land; worked out by hand.
    const struct
    {
        const char* name;
        double scale;
        int ys[15]; // y of controls 1..14 (index 0 unused)
        int width;
        int height;
    } rows[] = {
        // 12 -> 11.52 = 12, +24 = 36, +24 = 60, ... +21.12, +28.8, +33.6.
        {"96 dpi", 0.96, {0, 12, 36, 60, 84, 108, 132, 130, 132, 156, 177, 206, 230, 254, 288}, 470, 336},
        // 12 -> 17.28 = 17, +36 = 53, ... +31.68, +43.2, +36, +36, +50.4 = 430
        // (the sum of the steps would give 431).
        {"144 dpi", 1.44, {0, 17, 53, 89, 125, 161, 197, 195, 197, 233, 265, 308, 344, 380, 430}, 706, 502},
    };
    for (const auto& r : rows) {
        const SettingsWindowLayout layout = ComputeSettingsWindowLayout(r.scale);
        for (int number = FirstControl; number <= LastControl; ++number)
            EXPECT_EQ(At(layout, number).y(), r.ys[number]) << r.name << ": control " << number;
        EXPECT_EQ(layout.width, r.width) << r.name;
        EXPECT_EQ(layout.height, r.height) << r.name;
    }
}

TEST(SettingsWindowLayout, EveryControlLiesInsideTheWindow)
{
    for (const Scale& s : Scales) {
        const SettingsWindowLayout layout = ComputeSettingsWindowLayout(s.value);
        const QRect window(0, 0, layout.width, layout.height);
        for (int number = FirstControl; number <= LastControl; ++number) {
            EXPECT_FALSE(At(layout, number).isEmpty()) << s.name << ": control " << number;
            EXPECT_TRUE(window.contains(At(layout, number))) << s.name << ": control " << number;
        }
    }
}

TEST(SettingsWindowLayout, NoTwoControlsOverlap)
{
    for (const Scale& s : Scales) {
        const SettingsWindowLayout layout = ComputeSettingsWindowLayout(s.value);
        for (int a = FirstControl; a <= LastControl; ++a) {
            for (int b = a + 1; b <= LastControl; ++b)
                EXPECT_FALSE(At(layout, a).intersects(At(layout, b))) << s.name << ": controls " << a << " and " << b;
        }
    }
}

TEST(SettingsWindowLayout, ControlsFollowTheirCreationOrderDownAndAcross)
{
    // Each control either starts a new row below everything before it, or
    // shares the row of the one before and sits to its right.
    for (const Scale& s : Scales) {
        const SettingsWindowLayout layout = ComputeSettingsWindowLayout(s.value);
        int lowestBottom = At(layout, FirstControl).bottom();
        for (int number = FirstControl + 1; number <= LastControl; ++number) {
            const QRect previous = At(layout, number - 1);
            const QRect control = At(layout, number);
            const bool nextInRow = SameRow(previous, control) && control.left() > previous.right();
            const bool newRow = control.top() > lowestBottom;
            EXPECT_TRUE(nextInRow || newRow) << s.name << ": control " << number;
            lowestBottom = std::max(lowestBottom, control.bottom());
        }
    }
}

TEST(SettingsWindowLayout, CloseButtonIsCentredUnderEverything)
{
    for (const Scale& s : Scales) {
        const SettingsWindowLayout layout = ComputeSettingsWindowLayout(s.value);
        const QRect close = At(layout, CloseButton);
        // Twice the centres, so that half pixels compare exactly: one pixel
        // of rounding either way is allowed.
        const int offCentre = (2 * close.x() + close.width()) - layout.width;
        EXPECT_LE(std::abs(offCentre), 2) << s.name;
        for (int number = FirstControl; number < CloseButton; ++number)
            EXPECT_GT(close.top(), At(layout, number).bottom()) << s.name << ": control " << number;
        EXPECT_GT(layout.height, close.bottom() + 1) << s.name << ": no margin below Close";
    }
}

TEST(SettingsWindowLayout, SizesAndPositionsFollowTheScale)
{
    const SettingsWindowLayout unit = ComputeSettingsWindowLayout(1.0);
    // Each row is rounded on the one above, so vertical positions may drift by
    // half a pixel per row.
    const double yDrift = 0.5 * LastControl + 1;
    for (const Scale& s : Scales) {
        const SettingsWindowLayout layout = ComputeSettingsWindowLayout(s.value);
        EXPECT_LE(std::abs(layout.width - unit.width * s.value), 1.0) << s.name << ": window width";
        EXPECT_LE(std::abs(layout.height - unit.height * s.value), yDrift) << s.name << ": window height";
        for (int number = FirstControl; number <= LastControl; ++number) {
            const QRect a = At(unit, number);
            const QRect b = At(layout, number);
            EXPECT_LE(std::abs(b.x() - a.x() * s.value), 1.0) << s.name << ": x of control " << number;
            EXPECT_LE(std::abs(b.width() - a.width() * s.value), 1.0) << s.name << ": width of control " << number;
            EXPECT_LE(std::abs(b.height() - a.height() * s.value), 1.0) << s.name << ": height of control " << number;
            EXPECT_LE(std::abs(b.y() - a.y() * s.value), yDrift) << s.name << ": y of control " << number;
        }
    }
}
