#include "app/main_layout.h"
#include "ui/control_numbers.h"

#include <gtest/gtest.h>

using namespace app;
using namespace ui::id;

namespace {

MainLayoutInput Input(int64_t W, int64_t H, double s, bool versionShown = true)
{
    MainLayoutInput in;
    in.W = W;
    in.H = H;
    in.uiScale = s;
    in.versionShown = versionShown;
    in.contentPageY = 25;
    in.scrollbarAllowance = 20;
    return in;
}

} // namespace

TEST(MainLayout, PlacesTheTopRowFromTheRightEdge)
{
    const MainLayout at96 = ComputeMainLayout(Input(1152, 672, 0.96));
    EXPECT_EQ(at96.rects.at(WinkImage).x(), 816); // WinkImage
    EXPECT_EQ(at96.winkX, 816);
    EXPECT_EQ(at96.rects.at(SearchBox).x(), 855); // SearchBox: 1152 - 296.64 rounds to 855
    const MainLayout at100 = ComputeMainLayout(Input(1200, 700, 1.0));
    EXPECT_EQ(at100.rects.at(WinkImage).x(), 850);
    EXPECT_EQ(at100.rects.at(SearchBox).x(), 891);
}

TEST(MainLayout, EveryControlAtScaleOne)
{
    const MainLayout l = ComputeMainLayout(Input(1200, 700, 1.0));
    const struct
    {
        int64_t number;
        QRect rect;
    } rows[] = {
        {ContentTabs, QRect(10, 60, 1180, 345)}, // W - 20, H - 355
        {TodayHeader, QRect(0, 0, 1173, 27)},    // T - 1 px, T = PW - 6
        {YesterdayHeader, QRect(0, 0, 1173, 27)},
        {TodayList, QRect(1, 28, 1171, 285)}, // T - 3, PH - 60
        {YesterdayList, QRect(1, 28, 1171, 285)},
        {AppsList, QRect(0, 0, 877, 313)},                         // PW - 303, PH - 32
        {AppsCheckButton, QRect(878, 0, 264, 28)},                 // C = PW - 302
        {ControlPanelButton, QRect(1143, 0, 29, 28)},              // PW - 37
        {AppsInfoBox, QRect(878, 29, 294, 255)},                   // PH - 90 high
        {SelectUpdatesButton, QRect(878, 287, 190, 25)},           // PH - 58
        {StartUpdatesButton, QRect(1069, 287, 103, 25)},           // C + 191
        {NewsTabs, QRect(272, 60 + 25 + 28 + 285 + 16, 918, 248)}, // below the list
        {NewsList, QRect(1, 1, 910, 215)},                         // NW - 8, 248 - 33
        {ArticlesList, QRect(1, 1, 910, 215)},
        {StatusLine, QRect(0, 676, 1200, 24)}, // H - 24, full width
    };
    for (const auto& r : rows)
        EXPECT_EQ(l.rects.at(r.number), r.rect) << ui::ControlName(r.number);
    EXPECT_EQ(l.rects.at(PictureImage).topLeft(), QPoint(10, 414)); // PictureImage at PY
    EXPECT_EQ(l.nameColumn.at(TodayList), 220);
    EXPECT_EQ(l.descColumn.at(TodayList), 1171 - 340);
    EXPECT_EQ(l.appsIdColumn, 877 - 550 - 20);
    EXPECT_EQ(l.newsColumn, 910 - 20);
}

TEST(MainLayout, HiddenVersionsNarrowTheNameColumn)
{
    const MainLayout shown = ComputeMainLayout(Input(1152, 672, 0.96, true));
    const MainLayout hidden = ComputeMainLayout(Input(1152, 672, 0.96, false));
    for (const int64_t list : {TodayHeader, TodayList, YesterdayHeader, YesterdayList}) {
        EXPECT_EQ(shown.nameColumn.at(list), 211);  // 220 x 0.96
        EXPECT_EQ(hidden.nameColumn.at(list), 154); // 160 x 0.96
        // The width the name column gives up goes to the description.
        EXPECT_EQ(shown.descColumn.at(list), 798);  // 1124 - 326.4
        EXPECT_EQ(hidden.descColumn.at(list), 855); // 1124 - 268.8
    }
}

TEST(MainLayout, SubtractionsRoundOncePerCoordinate)
{
    // At 0.96: PW = 1152 - 19.2 = 1132.8 -> 1133; T = 1133 - 5.76 = 1127.24;
    // TodayList width = 1127.24 - 2.88 = 1124.36 -> 1124 (rounding each step
    // separately would give 1133 - 6 - 3 = 1124 too, but the header differs:
    // T - 1 px = 1126.24 -> 1126, not 1133 - 6 - 1 = 1126). The apps check
    // button: C = 1133 - 289.92 = 843.08 -> 843, StartUpdates at
    // C + 183.36 = 1026.44 -> 1026 (not 843 + 183 = 1026).
    const MainLayout l = ComputeMainLayout(Input(1152, 672, 0.96));
    EXPECT_EQ(l.rects.at(ContentTabs).width(), 1133);
    EXPECT_EQ(l.rects.at(TodayList).width(), 1124);
    EXPECT_EQ(l.rects.at(TodayHeader).width(), 1126);
    EXPECT_EQ(l.rects.at(AppsCheckButton).x(), 843);
    EXPECT_EQ(l.rects.at(StartUpdatesButton).x(), 1026);
    EXPECT_EQ(l.rects.at(ContentTabs).height(), 331);           // 672 - 340.8 = 331.2
    EXPECT_EQ(l.rects.at(StatusLine), QRect(0, 649, 1152, 23)); // 672 - 23.04 = 648.96
}

TEST(HeaderRow, FollowsTheSchemeAndTheTabEnds)
{
    HeaderRowInput in;
    in.W = 1152;
    in.uiScale = 0.96;
    in.contentTabsEnd = 240;
    in.newsTabsEnd = 130;
    in.newsTabsY = 500;

    in.siteColours = true;
    std::map<int64_t, QRect> r = ComputeHeaderRow(in, {});
    EXPECT_EQ(r.at(26), QRect(1119, 16, 23, 23)); // SearchButton 24 x 24 at (W - 34, 17)
    EXPECT_EQ(r.at(28).width(), 240);             // TabStripLine to the last content tab
    EXPECT_EQ(r.at(35).x(), 815);                 // FilterLabel at W - 351
    EXPECT_EQ(r.at(36).x(), 855);                 // FilterBox at W - 309
    EXPECT_EQ(r.at(37).x(), 1102);                // PlatformCombo at W - 52
    // ProductCaption: x = 290 x 0.96 + E, y = NY - 2 x 0.96, width W - E - 287 (pixels).
    EXPECT_EQ(r.at(47), QRect(408, 498, 735, 19));
    // NewsTabLine: y = NY + 23 x 0.96, width E + 4 x 0.96.
    EXPECT_EQ(r.at(46), QRect(261, 522, 134, 2));

    in.siteColours = false;
    r = ComputeHeaderRow(in, {});
    EXPECT_EQ(r.at(26), QRect(1117, 14, 27, 27)); // 28 x 28 at (W - 36, 15)
}

TEST(HeaderRow, TabStripEndIsTheLastTabsRightEdgeLessSixUnits)
{
    EXPECT_EQ(TabStripEndOf(QRect(2, 0, 100, 22), 1.0), 96);
    EXPECT_EQ(TabStripEndOf(QRect(2, 0, 100, 22), 0.96), 96); // 102 - 5.76 = 96.24
    EXPECT_EQ(TabStripEndOf(QRect(0, 0, 10, 22), 1.5), 1);    // 10 - 9
}

TEST(LayoutDecision, RecordsMovesAndRelayoutsSizeChanges)
{
    const WindowSnapshot start{100, 50, 1152, 672, false, false};
    const struct
    {
        const char* name;
        WindowSnapshot window;
        bool force;
        bool guiReady;
        LayoutAction action;
        bool recorded; // the state holds the window's geometry afterwards
    } rows[] = {
        {"forced", start, true, true, LayoutAction::Relayout, true},
        {"unchanged", start, false, true, LayoutAction::Nothing, true},
        {"pure move after start-up", {120, 60, 1152, 672, false, false}, false, true, LayoutAction::RecordOnly, true},
        {"pure move during start-up", {120, 60, 1152, 672, false, false}, false, false, LayoutAction::Relayout, true},
        {"move and resize", {120, 60, 1000, 672, false, false}, false, true, LayoutAction::Relayout, true},
        {"resize in place", {100, 50, 1152, 700, false, false}, false, true, LayoutAction::Relayout, true},
        {"minimised", {-32000, -32000, 160, 28, false, true}, false, true, LayoutAction::Nothing, false},
    };
    for (const auto& r : rows) {
        LayoutState state;
        state.x = start.x;
        state.y = start.y;
        state.w = start.w;
        state.h = start.h;
        state.lastMaximised = 0;
        EXPECT_EQ(DecideLayout(state, r.window, r.force, r.guiReady), r.action) << r.name;
        const WindowSnapshot& expected = r.recorded ? r.window : start;
        EXPECT_EQ(state.x, expected.x) << r.name;
        EXPECT_EQ(state.w, expected.w) << r.name;
        EXPECT_EQ(state.h, expected.h) << r.name;
    }
}

TEST(LayoutDecision, MaximiseChangeWithTheSameGeometry)
{
    const WindowSnapshot normal{100, 50, 1152, 672, false, false};
    WindowSnapshot maximised = normal;
    maximised.maximised = true;

    LayoutState ready{100, 50, 1152, 672, 0};
    EXPECT_EQ(DecideLayout(ready, maximised, false, true), LayoutAction::RecordOnly);
    EXPECT_EQ(ready.lastMaximised, 1);
    EXPECT_EQ(DecideLayout(ready, maximised, false, true), LayoutAction::Nothing); // same state again

    LayoutState starting{100, 50, 1152, 672, 0};
    EXPECT_EQ(DecideLayout(starting, maximised, false, false), LayoutAction::Relayout);

    // The first notification always lays out: the maximised state starts unknown.
    LayoutState first{100, 50, 1152, 672, -1};
    EXPECT_EQ(DecideLayout(first, normal, false, false), LayoutAction::Relayout);
}
