#pragma once

#include <QRect>

#include <cstdint>
#include <map>
#include <optional>

namespace app {

// Where the main window's controls go for a given inner size. Pure: the
// measured values of the toolkit (tab page offset, tab strip ends, scroll
// bar allowance) come in as arguments. All results are pixels.

struct MainLayoutInput
{
    int64_t W = 0; // inner width
    int64_t H = 0; // inner height
    double uiScale = 1.0;
    bool versionShown = true;
    int64_t contentPageY = 0;       // y of a tab page inside ContentTabs
    int64_t scrollbarAllowance = 0; // scroll bar width + drag rectangle
};

struct MainLayout
{
    std::map<int64_t, QRect> rects;    // control number -> geometry in its parent
    std::map<int64_t, int> nameColumn; // "Name" column width of lists 29, 31, 32, 34
    std::map<int64_t, int> descColumn; // "Description" column width of the same
    int appsIdColumn = 0;              // column 3 of AppsList
    int newsColumn = 0;                // column 0 of NewsList and ArticlesList
    int64_t winkX = 0;
};

/// The relayout of the main window, before the header row.
MainLayout ComputeMainLayout(const MainLayoutInput& in);

struct HeaderRowInput
{
    int64_t W = 0;
    double uiScale = 1.0;
    bool siteColours = true;
    int64_t contentTabsEnd = 0; // TabStripEnd of ContentTabs
    int64_t newsTabsEnd = 0;    // TabStripEnd of NewsTabs
    int64_t newsTabsY = 0;      // y of NewsTabs
};

/// Geometry of the header row: the tab lines, the filter controls, the
/// search button and the product caption. Only the members that the rule
/// sets are meaningful; the others keep the values given in `current`.
std::map<int64_t, QRect> ComputeHeaderRow(const HeaderRowInput& in, const std::map<int64_t, QRect>& current);

/// The x of the right edge of a tab control's last tab minus 6 design units.
int64_t TabStripEndOf(const QRect& lastTab, double uiScale);

/// What a position-change notification of the main window asks for.
enum class LayoutAction { Nothing, RecordOnly, Relayout };

struct LayoutState
{
    int64_t x = 0, y = 0, w = 0, h = 0; // recorded geometry
    int64_t lastMaximised = -1;         // last-seen maximised state; -1 forces the first layout
};

struct WindowSnapshot
{
    int64_t x = 0, y = 0, w = 0, h = 0;
    bool maximised = false;
    bool minimised = false;
};

/// Decides between doing nothing, recording the geometry only (a pure move
/// after start-up) and a full relayout; updates `state.lastMaximised` and,
/// unless minimised, the recorded geometry.
LayoutAction DecideLayout(LayoutState& state, const WindowSnapshot& window, bool force, bool guiReady);

} // namespace app
