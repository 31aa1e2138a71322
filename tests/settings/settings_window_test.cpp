#include "settings/settings_window.h"

#include <gtest/gtest.h>

using settings::ComputeSettingsWindowLayout;

TEST(SettingsWindowLayout, RowsAccumulateFromTheFirst)
{
    const struct
    {
        double scale;
        int ys[15]; // y of controls 1..14 (index 0 unused)
        int width;
        int height;
    } rows[] = {
        {1.0, {0, 12, 37, 62, 87, 112, 137, 135, 137, 162, 184, 214, 239, 264, 299}, 490, 349},
        // At 0.96 every row adds its scaled step to the rounded row above:
        // 12 -> 11.52 = 12, +24 = 36, +24 = 60, ... +21.12, +28.8, +33.6.
        {0.96, {0, 12, 36, 60, 84, 108, 132, 130, 132, 156, 177, 206, 230, 254, 288}, 470, 336},
    };
    for (const auto& r : rows) {
        const settings::SettingsWindowLayout layout = ComputeSettingsWindowLayout(r.scale);
        for (int number = 1; number <= 14; ++number)
            EXPECT_EQ(layout.controls[static_cast<size_t>(number)].y(), r.ys[number])
                << "control " << number << " at " << r.scale;
        EXPECT_EQ(layout.width, r.width);
        EXPECT_EQ(layout.height, r.height);
    }
}

TEST(SettingsWindowLayout, ColumnsAndSizesAtScaleOne)
{
    const settings::SettingsWindowLayout layout = ComputeSettingsWindowLayout(1.0);
    EXPECT_EQ(layout.controls[1], QRect(15, 12, 455, 20));
    EXPECT_EQ(layout.controls[7], QRect(235, 135, 45, 24)); // refresh rate box, 2 px above its row
    EXPECT_EQ(layout.controls[8], QRect(287, 137, 165, 20));
    EXPECT_EQ(layout.controls[10], QRect(15, 184, 461, 24)); // alert names box
    EXPECT_EQ(layout.controls[14], QRect(210, 299, 70, 30)); // Close
}
