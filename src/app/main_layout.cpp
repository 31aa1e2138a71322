#include "app/main_layout.h"

#include "ui/control_numbers.h"

#include <cmath>

namespace app {

using namespace ui::id;

namespace {

/// Rounds once, halves to the even neighbour, as every scaled coordinate is.
int Round(double value)
{
    return static_cast<int>(std::nearbyint(value));
}

} // namespace

MainLayout ComputeMainLayout(const MainLayoutInput& in)
{
    const double s = in.uiScale;
    const double W = static_cast<double>(in.W);
    const double H = static_cast<double>(in.H);
    MainLayout out;
    auto& r = out.rects;

    out.winkX = Round(W - 350 * s);
    r[WinkImage] = QRect(static_cast<int>(out.winkX), Round(11 * s), Round(32 * s), Round(32 * s));
    r[SearchBox] = QRect(Round(W - 309 * s), Round(16 * s), Round(267 * s), Round(26 * s));

    // The content tabs and what their pages hold.
    const int PW = Round(W - 20 * s);
    const int PH = Round(H - (250 + 105) * s);
    r[ContentTabs] = QRect(Round(10 * s), Round(60 * s), PW, PH);
    const double T = PW - 6 * s;
    const int headerWidth = Round(T - 1);
    const int listWidth = Round(T - 3 * s);
    const int listHeight = Round(PH - 60 * s);
    for (const int64_t header : {TodayHeader, YesterdayHeader})
        r[header] = QRect(0, 0, headerWidth, Round(27 * s));
    for (const int64_t list : {TodayList, YesterdayList})
        r[list] = QRect(1, Round(28 * s), listWidth, listHeight);
    for (const int64_t list : {TodayHeader, TodayList, YesterdayHeader, YesterdayList}) {
        out.nameColumn[list] = Round((in.versionShown ? 220 : 160) * s);
        out.descColumn[list] = Round(listWidth - (in.versionShown ? 340 : 280) * s);
    }

    // Picture below the lists, in window coordinates.
    const int listWindowY = r[ContentTabs].y() + static_cast<int>(in.contentPageY) + r[TodayList].y();
    const int PY = Round(listWindowY + listHeight + 16 * s);
    r[PictureImage] = QRect(Round(10 * s), PY, 0, 0); // sized by its picture

    // The installed-apps page.
    const int appsWidth = Round(PW - 303 * s);
    r[AppsList] = QRect(0, 0, appsWidth, Round(PH - 32 * s));
    out.appsIdColumn = Round(appsWidth - (250 + 150 + 150) * s - static_cast<double>(in.scrollbarAllowance));
    const double C = PW - 302 * s;
    r[AppsCheckButton] = QRect(Round(C), 0, Round((294 - 30) * s), Round(28 * s));
    r[ControlPanelButton] = QRect(Round(PW - 37 * s), 0, Round(29 * s), Round(28 * s));
    r[AppsInfoBox] = QRect(Round(C), Round(29 * s), Round(294 * s), Round(PH - 90 * s));
    r[SelectUpdatesButton] = QRect(Round(C), Round(PH - 58 * s), Round(190 * s), Round(25 * s));
    r[StartUpdatesButton] = QRect(Round(C + 191 * s), Round(PH - 58 * s), Round(103 * s), Round(25 * s));

    // News and articles.
    const double NW = W - 282 * s;
    r[NewsTabs] = QRect(Round(272 * s), PY, Round(NW), Round(248 * s));
    for (const int64_t list : {NewsList, ArticlesList})
        r[list] = QRect(1, 1, Round(NW - 8 * s), Round((248 - 33) * s));
    out.newsColumn = Round(NW - 8 * s - static_cast<double>(in.scrollbarAllowance));

    r[StatusLine] = QRect(0, Round(H - 24 * s), static_cast<int>(in.W), Round(24 * s));
    return out;
}

std::map<int64_t, QRect> ComputeHeaderRow(const HeaderRowInput& in, const std::map<int64_t, QRect>& current)
{
    const double s = in.uiScale;
    const double W = static_cast<double>(in.W);
    std::map<int64_t, QRect> r = current;
    auto place = [&r](int64_t number, int x, int y, int w, int h) { r[number] = QRect(x, y, w, h); };

    place(TabStripLine, Round(15 * s), Round(83 * s), static_cast<int>(in.contentTabsEnd), Round(2 * s));
    place(FilterLabel, Round(W - 351 * s), Round(63 * s), Round(40 * s), Round(20 * s));
    place(FilterBox, Round(W - 309 * s), Round(59 * s), Round(250 * s), Round(24 * s));
    place(PlatformCombo, Round(W - 52 * s), Round(59 * s), Round(42 * s), Round(24 * s));
    if (in.siteColours)
        place(SearchButton, Round(W - 34 * s), Round(17 * s), Round(24 * s), Round(24 * s));
    else
        place(SearchButton, Round(W - 36 * s), Round(15 * s), Round(28 * s), Round(28 * s));

    const double E = static_cast<double>(in.newsTabsEnd);
    const double NY = static_cast<double>(in.newsTabsY);
    place(ProductCaption, Round(290 * s + E), Round(NY - 2 * s), Round(W - E - 287), Round(20 * s));
    place(NewsTabLine, Round(272 * s), Round(NY + 23 * s), Round(E + 4 * s), Round(2 * s));
    return r;
}

int64_t TabStripEndOf(const QRect& lastTab, double uiScale)
{
    // QRect::right() is the last pixel inside; the edge is one past it.
    return Round(static_cast<double>(lastTab.x() + lastTab.width()) - 6 * uiScale);
}

LayoutAction DecideLayout(LayoutState& state, const WindowSnapshot& window, bool force, bool guiReady)
{
    const int64_t maxed = window.maximised ? 1 : 0;
    LayoutAction action = LayoutAction::Nothing;
    if (force) {
        state.lastMaximised = maxed;
        action = LayoutAction::Relayout;
    } else if (window.minimised) {
        return LayoutAction::Nothing;
    } else if (window.x != state.x || window.y != state.y) {
        state.lastMaximised = maxed;
        const bool sameSize = window.w == state.w && window.h == state.h;
        action = guiReady && sameSize ? LayoutAction::RecordOnly : LayoutAction::Relayout;
    } else if (window.w != state.w || window.h != state.h) {
        state.lastMaximised = maxed;
        action = LayoutAction::Relayout;
    } else if (maxed == state.lastMaximised) {
        return LayoutAction::Nothing;
    } else {
        state.lastMaximised = maxed;
        action = guiReady ? LayoutAction::RecordOnly : LayoutAction::Relayout;
    }
    if (!window.minimised) {
        state.x = window.x;
        state.y = window.y;
        state.w = window.w;
        state.h = window.h;
    }
    return action;
}

} // namespace app
