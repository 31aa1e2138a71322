#include "ui/tray_icon.h"

#include <gtest/gtest.h>

TEST(TrayIcon, TooltipsKeepTheirFirst63Characters)
{
    const QString seventy(70, u'x');
    EXPECT_EQ(ui::TrayTooltipText(seventy), QString(63, u'x'));
    EXPECT_EQ(ui::TrayTooltipText("Short"), "Short");
    EXPECT_EQ(ui::TrayTooltipText(""), "");
}

TEST(TrayIcon, OperationsOnAMissingIconAreRefused)
{
    // No icon was added with this id (and offscreen there is no tray at all).
    EXPECT_FALSE(ui::TraySetImage(99, ui::ImageId::TrayBusyA));
    EXPECT_FALSE(ui::TraySetTooltip(99, "x"));
    EXPECT_FALSE(ui::TrayHasImage(99, ui::ImageId::Tray));
    EXPECT_EQ(ui::TrayTooltip(99), "");
    EXPECT_FALSE(ui::TrayShown(99));
}
