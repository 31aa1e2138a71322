#include "app/main_layout.h"

#include "ui/control_numbers.h"

#include <cmath>

namespace app {

using namespace ui::no;

namespace {

/// Rounds once, halves to the even neighbour, as every scaled coordinate is.
int R(double value)
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

    out.winkX = R(W - 350 * s);
    r[WinkImage] = QRect(static_cast<int>(out.winkX), R(11 * s), R(32 * s), R(32 * s));
    r[SearchBox] = QRect(R(W - 309 * s), R(16 * s), R(267 * s), R(26 * s));

    // The content tabs and what their pages hold.
    const int PW = R(W - 20 * s);
    const int PH = R(H - (250 + 105) * s);
    r[ContentTabs] = QRect(R(10 * s), R(60 * s), PW, PH);
    const double T = PW - 6 * s;
    const int headerWidth = R(T - 1);
    const int listWidth = R(T - 3 * s);
    const int listHeight = R(PH - 60 * s);
    for (const int64_t header : {TodayHeader, YesterdayHeader})
        r[header] = QRect(0, 0, headerWidth, R(27 * s));
    for (const int64_t list : {TodayList, YesterdayList})
        r[list] = QRect(1, R(28 * s), listWidth, listHeight);
    for (const int64_t list : {TodayHeader, TodayList, YesterdayHeader, YesterdayList}) {
        out.nameColumn[list] = R((in.versionShown ? 220 : 160) * s);
        out.descColumn[list] = R(listWidth - (in.versionShown ? 340 : 280) * s);
    }

    // Picture below the lists, in window coordinates.
    const int listWindowY = r[ContentTabs].y() + static_cast<int>(in.contentPageY) + r[TodayList].y();
    const int PY = R(listWindowY + listHeight + 16 * s);
    r[PictureImage] = QRect(R(10 * s), PY, 0, 0); // sized by its picture

    // The installed-apps page.
    const int appsWidth = R(PW - 303 * s);
    r[AppsList] = QRect(0, 0, appsWidth, R(PH - 32 * s));
    out.appsIdColumn = R(appsWidth - (250 + 150 + 150) * s - static_cast<double>(in.scrollbarAllowance));
    const double C = PW - 302 * s;
    r[AppsCheckButton] = QRect(R(C), 0, R((294 - 30) * s), R(28 * s));
    r[ControlPanelButton] = QRect(R(PW - 37 * s), 0, R(29 * s), R(28 * s));
    r[AppsInfoBox] = QRect(R(C), R(29 * s), R(294 * s), R(PH - 90 * s));
    r[SelectUpdatesButton] = QRect(R(C), R(PH - 58 * s), R(190 * s), R(25 * s));
    r[StartUpdatesButton] = QRect(R(C + 191 * s), R(PH - 58 * s), R(103 * s), R(25 * s));

    // News and articles.
    const double NW = W - 282 * s;
    r[NewsTabs] = QRect(R(272 * s), PY, R(NW), R(248 * s));
    for (const int64_t list : {NewsList, ArticlesList})
        r[list] = QRect(1, 1, R(NW - 8 * s), R((248 - 33) * s));
    out.newsColumn = R(NW - 8 * s - static_cast<double>(in.scrollbarAllowance));

    r[StatusLine] = QRect(0, R(H - 24 * s), static_cast<int>(in.W), R(24 * s));
    return out;
}

std::map<int64_t, QRect> ComputeHeaderRow(const HeaderRowInput& in, const std::map<int64_t, QRect>& current)
{
    const double s = in.uiScale;
    const double W = static_cast<double>(in.W);
    std::map<int64_t, QRect> r = current;
    auto place = [&r](int64_t number, int x, int y, int w, int h) { r[number] = QRect(x, y, w, h); };

    place(TabStripLine, R(15 * s), R(83 * s), static_cast<int>(in.contentTabsEnd), R(2 * s));
    place(FilterLabel, R(W - 351 * s), R(63 * s), R(40 * s), R(20 * s));
    place(FilterBox, R(W - 309 * s), R(59 * s), R(250 * s), R(24 * s));
    place(PlatformCombo, R(W - 52 * s), R(59 * s), R(42 * s), R(24 * s));
    if (in.siteColours)
        place(SearchButton, R(W - 34 * s), R(17 * s), R(24 * s), R(24 * s));
    else
        place(SearchButton, R(W - 36 * s), R(15 * s), R(28 * s), R(28 * s));

    const double E = static_cast<double>(in.newsTabsEnd);
    const double NY = static_cast<double>(in.newsTabsY);
    place(ProductCaption, R(290 * s + E), R(NY - 2 * s), R(W - E - 287), R(20 * s));
    place(NewsTabLine, R(272 * s), R(NY + 23 * s), R(E + 4 * s), R(2 * s));
    return r;
}

int64_t TabStripEndOf(const QRect& lastTab, double uiScale)
{
    // QRect::right() is the last pixel inside; the edge is one past it.
    return R(static_cast<double>(lastTab.x() + lastTab.width()) - 6 * uiScale);
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
