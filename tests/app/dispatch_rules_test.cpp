#include "app/refresh_schedule.h"
#include "app/event_loop.h"
#include "app/open_items.h"
#include "app/tray_menu.h"
#include "ui/control_numbers.h"

#include <gtest/gtest.h>

#include <climits>

using namespace app;
using namespace ui::id;

TEST(DispatchRules, F5RefreshesOnlyFromTheDayTabsAndTheContentControls)
{
    const struct
    {
        const char* name;
        int64_t window;
        int tab;
        int64_t focused;
        bool refreshes;
    } rows[] = {
        {"no focus on Today", MainWindow, 0, -1, true},
        {"today list on Yesterday", MainWindow, 1, TodayList, true},
        {"search box", MainWindow, 0, SearchBox, true},
        {"content tabs", MainWindow, 0, ContentTabs, true},
        {"filter box", MainWindow, 0, FilterBox, true},
        {"news list", MainWindow, 1, NewsList, true},
        {"articles list", MainWindow, 0, ArticlesList, true},
        {"platform combo", MainWindow, 0, PlatformCombo, false}, // F5 on the platform box does nothing
        {"a button", MainWindow, 0, SearchButton, false},
        {"apps tab", MainWindow, 2, -1, false},
        {"settings window's event", SettingsWindow, 0, -1, false},
        {"refresh-rate box", MainWindow, 0, SettingsRefreshRate, false},
    };
    for (const auto& r : rows)
        EXPECT_EQ(F5RefreshesContent(r.window, r.tab, r.focused), r.refreshes) << r.name;
    EXPECT_TRUE(F5ChecksApps(MainWindow, 2, true));
    EXPECT_FALSE(F5ChecksApps(MainWindow, 2, false));
    EXPECT_FALSE(F5ChecksApps(MainWindow, 0, true));
    EXPECT_FALSE(F5ChecksApps(SettingsWindow, 2, true));
}

TEST(DispatchRules, ClosingHidesOnlyWhenTheTrayCanBringTheWindowBack)
{
    EXPECT_EQ(DecideMainWindowClose(false, 1, true), CloseAction::Hide);
    EXPECT_EQ(DecideMainWindowClose(true, 1, true), CloseAction::Quit); // Shift quits anyway
    EXPECT_EQ(DecideMainWindowClose(false, 0, true), CloseAction::Quit);
    EXPECT_EQ(DecideMainWindowClose(false, 1, false), CloseAction::Quit); // no notification area
}

TEST(DispatchRules, MenuAndHeaderLinks)
{
    const QString base = "https://www.zorvane.com";
    EXPECT_EQ(MenuLink(8, base), base);
    EXPECT_EQ(MenuLink(9, base), base + "/zv/topdownloads/index.html");
    EXPECT_EQ(MenuLink(10, base), base + "/news/archive");
    EXPECT_EQ(MenuLink(11, base), base + "/news/channels/off_base.html");
    EXPECT_EQ(MenuLink(12, base), base + "/news/channels/way_off_base.html");
    EXPECT_EQ(HeaderImageLink(ui::id::VisitSiteImage, base), base);
    EXPECT_EQ(HeaderImageLink(ui::id::DonateImage, base), base + "/content/page/donations.html");
    EXPECT_TRUE(HeaderImageLink(ui::id::SettingsImage, base).isEmpty());
    for (const int64_t item : {0, 1, 2, 3, 7, 13, 14, 51, -1})
        EXPECT_TRUE(MenuLink(item, base).isEmpty()) << item;
    for (const int64_t item : {4, 5, 6})
        EXPECT_TRUE(MenuLink(item, base).startsWith("https://")) << item;
}

TEST(DispatchRules, RefreshScheduleAndTooltip)
{
    EXPECT_EQ(RefreshTooltipText(0, "14:35:09"), "Refresh now (F5)");
    EXPECT_EQ(RefreshTooltipText(30, "14:35:09"), "Refresh now (F5); or next auto-refresh at 14:35:09");
    EXPECT_FALSE(AutoRefreshDue(0, 0, 1000000));     // rate 0: never
    EXPECT_TRUE(AutoRefreshDue(5, 0, 1));            // skipped at start-up: due at once
    EXPECT_FALSE(AutoRefreshDue(5, 300000, 300000)); // due only once the deadline has passed
    EXPECT_TRUE(AutoRefreshDue(5, 300000, 300001));
}

TEST(DispatchRules, TheLoopSleepsUntilJustPastTheRefreshDeadline)
{
    const struct
    {
        const char* what;
        int64_t rate, next, now;
        int32_t wait;
    } rows[] = {
        {"no schedule: no limit", 0, 0, 5000, -1},
        {"deadline ahead: wake when it is due", 5, 300000, 100000, 200001},
        {"deadline now: one more", 5, 300000, 300000, 1},
        {"overdue: do not wait", 5, 300000, 300001, 0},
        {"far ahead: capped", 1000000, int64_t{1} << 40, 0, INT32_MAX},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(LoopWaitMs(r.rate, r.next, r.now), r.wait) << r.what;
        // Waking after the wait finds the refresh due.
        if (r.wait > 0 && r.wait < INT32_MAX) {
            EXPECT_TRUE(AutoRefreshDue(r.rate, r.next, r.now + r.wait)) << r.what;
        }
    }
}

TEST(DispatchRules, OnlyWebAddressesAreOpened)
{
    const struct
    {
        const char* address;
        bool opens;
    } rows[] = {
        {"https://www.zorvane.com/download/a.html", true},
        {"http://127.0.0.1:8080/x", true},
        {"HTTPS://WWW.ZORVANE.COM/", true},
        {"https://www.zorvane.com/content/page/zv_search.html?cx=a%3Ab&q=foo bar&sa=Search", true},
        {"file:///etc/passwd", false},
        {"javascript:alert(1)", false},
        {"/news/story/1.html", false}, // relative: no host
        {"", false},
        {"https://", false},
        {"ftp://example.com/file", false},
        {"-n https://example.com", false},
    };
    for (const auto& r : rows)
        EXPECT_EQ(IsOpenableAddress(r.address), r.opens) << r.address;
}
