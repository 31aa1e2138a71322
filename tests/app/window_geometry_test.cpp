#include "app/main_layout.h"
#include "app/window_layout.h"
#include "window_fixture.h"

#include "runtime/display_metrics.h"
#include "runtime/process_state.h"
#include "settings/app_settings.h"
#include "ui/control_numbers.h"
#include "ui/controls.h"
#include "ui/list_control.h"
#include "ui/tab_control.h"

#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>

using namespace ui::id;

// The real main window laid out at 96 DPI: every control lands where the
// layout rules put it.
TEST(WindowGeometry, RealControlsFollowTheLayoutAt96Dpi)
{
    ASSERT_TRUE(apptest::CreateProgramWindows());
    ASSERT_DOUBLE_EQ(runtime::Display.uiScale, 0.96);
    runtime::GuiReady = 0;
    ui::Resize(MainWindow, 1152, 672);
    app::LayoutMainWindow(true);

    EXPECT_EQ(ui::Geometry(WinkImage).x(), 816);
    EXPECT_EQ(ui::Geometry(SearchBox).x(), 855);
    EXPECT_EQ(ui::Geometry(FilterBox).x(), 855);
    EXPECT_EQ(ui::Geometry(StatusLine), QRect(0, 649, 1152, 23));
    EXPECT_EQ(ui::Geometry(ContentTabs), QRect(10, 58, 1133, 331));

    app::MainLayoutInput in;
    in.W = 1152;
    in.H = 672;
    in.uiScale = 0.96;
    in.versionShown = settings::Settings.Version_Shown == 1;
    in.contentPageY = ui::TabPageOrigin(ContentTabs).y();
    in.scrollbarAllowance = 0; // columns are checked below
    const app::MainLayout expected = app::ComputeMainLayout(in);
    for (const auto& [number, rect] : expected.rects) {
        if (number == PictureImage)
            EXPECT_EQ(ui::Geometry(number).topLeft(), rect.topLeft());
        else
            EXPECT_EQ(ui::Geometry(number), rect) << "control " << number;
    }
    EXPECT_EQ(ui::ColumnWidth(TodayList, 1), 211);
    EXPECT_EQ(ui::ColumnWidth(TodayList, 2), 798);

    // The settings record follows the window.
    EXPECT_EQ(settings::Settings.App_W, 1152);
    EXPECT_EQ(settings::Settings.App_H, 672);

    // Hiding versions narrows the name columns at the next forced layout.
    settings::Settings.Version_Shown = 0;
    app::LayoutMainWindow(true);
    EXPECT_EQ(ui::ColumnWidth(YesterdayList, 1), 154);
    settings::Settings.Version_Shown = 1;
    app::LayoutMainWindow(true);
    EXPECT_EQ(ui::ColumnWidth(YesterdayList, 1), 211);
}

TEST(WindowGeometry, HeaderRowFollowsTheTabCaptions)
{
    ASSERT_TRUE(apptest::CreateProgramWindows());
    ui::Resize(MainWindow, 1152, 672);
    app::LayoutMainWindow(true);
    const int64_t before = app::TabStripEnd(ContentTabs);
    ui::SetTabCaption(ContentTabs, ui::tab::Today, "Wednesday September 30, 2026 ");
    app::LayoutHeaderRow();
    EXPECT_GT(app::TabStripEnd(ContentTabs), before); // a longer caption pushes the end right
    EXPECT_EQ(ui::Geometry(TabStripLine).width(), app::TabStripEnd(ContentTabs));
    const QRect last = ui::LastTabRect(NewsTabs);
    EXPECT_EQ(app::TabStripEnd(NewsTabs), app::TabStripEndOf(last, 0.96));
}

TEST(WindowGeometry, InstalledAppsControlsFitTheirPage)
{
    ASSERT_TRUE(apptest::CreateProgramWindows());
    ui::Resize(MainWindow, 1152, 672);
    app::LayoutMainWindow(true);
    const QRect tabs = ui::Geometry(ContentTabs);
    const int pageHeight = tabs.height() - ui::TabPageOrigin(ContentTabs).y();
    for (const int64_t control : {AppsList, AppsCheckButton, AppsInfoBox, SelectUpdatesButton, StartUpdatesButton})
        EXPECT_LE(ui::Geometry(control).bottom(), pageHeight) << "control " << control << " page " << pageHeight;
}

TEST(WindowGeometry, TabStripsAre22PixelsHighAndTheLineRunsAlongTheirFoot)
{
    ASSERT_TRUE(apptest::CreateProgramWindows());
    ui::Resize(MainWindow, 1152, 672);
    app::LayoutMainWindow(true);
    for (const int64_t tabs : {ContentTabs, NewsTabs})
        EXPECT_EQ(ui::LastTabRect(tabs).height(), 22) << "control " << tabs;
    // At 96 DPI the tabs start at y 58 and the strip line at y 80: right
    // below the tabs, not through their captions.
    const QRect last = ui::LastTabRect(ContentTabs);
    EXPECT_EQ(ui::Geometry(ContentTabs).y() + last.y() + last.height(), ui::Geometry(TabStripLine).y());
}

TEST(WindowGeometry, RefreshingIconSitsAtItsScaledDesignPosition)
{
    ASSERT_TRUE(apptest::CreateProgramWindows());
    EXPECT_EQ(ui::Geometry(RefreshingIcon), QRect(38, 32, 32, 32)); // (40, 33) x 0.96; the icon keeps its 32 px
}

TEST(WindowLook, HeaderLogosShowTheirOwnColours)
{
    ASSERT_TRUE(apptest::CreateProgramWindows());
    const QImage logo = ui::Image(ui::ImageId::HeaderLogo).toImage().convertToFormat(QImage::Format_ARGB32);
    for (const int64_t control : {TodayHeaderLogo, YesterdayHeaderLogo}) {
        const QImage shown = ui::Widget(control)->grab().toImage().convertToFormat(QImage::Format_ARGB32);
        int opaque = 0;
        int changed = 0;
        for (int y = 0; y < std::min(logo.height(), shown.height()); ++y) {
            for (int x = 0; x < std::min(logo.width(), shown.width()); ++x) {
                if (qAlpha(logo.pixel(x, y)) != 255)
                    continue;
                ++opaque;
                changed += shown.pixel(x, y) != logo.pixel(x, y) ? 1 : 0;
            }
        }
        EXPECT_GT(opaque, 0) << "control " << control;
        EXPECT_EQ(changed, 0) << "control " << control << ": " << changed << " of " << opaque << " pixels greyed";
    }
}
