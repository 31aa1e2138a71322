#include "app/window_layout.h"

#include "app/shell_state.h"
#include "runtime/display_metrics.h"
#include "runtime/process_state.h"
#include "settings/app_settings.h"
#include "ui/control_numbers.h"
#include "ui/controls.h"
#include "ui/list_control.h"
#include "ui/tab_control.h"
#include "ui/window_system.h"

#include <QApplication>
#include <QStyle>
#include <QWidget>

namespace app {

namespace {

/// Scroll bar width plus the drag rectangle that list columns leave free.
int64_t ScrollbarAllowance()
{
    constexpr int dragRectangle = 4;
    return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent) + dragRectangle;
}

void Apply(int64_t number, const QRect& rect)
{
    ui::SetGeometry(number, rect);
}

} // namespace

int64_t TabStripEnd(int64_t tabs)
{
    return TabStripEndOf(ui::LastTabRect(tabs), runtime::Display.uiScale);
}

void LayoutMainWindow(bool force)
{
    using namespace ui::id;
    const QRect outer = ui::OuterGeometry(MainWindow);
    const QRect inner = ui::Geometry(MainWindow);
    WindowSnapshot window;
    window.x = outer.x();
    window.y = outer.y();
    window.w = inner.width();
    window.h = inner.height();
    window.maximised = ui::IsMaximized(MainWindow);
    window.minimised = ui::IsMinimized(MainWindow);
    settings::AppSettings& s = settings::Settings;
    s.App_Maxed = window.maximised ? 1 : 0;

    const LayoutAction action = DecideLayout(MainLayoutState, window, force, runtime::GuiReady.load() == 1);
    if (action == LayoutAction::Nothing)
        return;
    if (action == LayoutAction::Relayout) {
        ui::SuspendDrawing(MainWindow);
        MainLayoutInput in;
        in.W = window.w;
        in.H = window.h;
        in.uiScale = runtime::Display.uiScale;
        in.versionShown = s.Version_Shown == 1;
        in.contentPageY = ui::TabPageOrigin(ContentTabs).y();
        in.scrollbarAllowance = ScrollbarAllowance();
        const MainLayout layout = ComputeMainLayout(in);
        WinkX = layout.winkX;
        for (const auto& [number, rect] : layout.rects) {
            if (number == PictureImage)
                ui::Move(number, rect.x(), rect.y()); // sized by its picture
            else
                Apply(number, rect);
        }
        for (const auto& [list, width] : layout.nameColumn)
            ui::SetColumnWidth(list, 1, width);
        for (const auto& [list, width] : layout.descColumn)
            ui::SetColumnWidth(list, 2, width);
        ui::SetColumnWidth(AppsList, 3, layout.appsIdColumn);
        ui::SetColumnWidth(NewsList, 0, layout.newsColumn);
        ui::SetColumnWidth(ArticlesList, 0, layout.newsColumn);
        LayoutHeaderRow();
        ui::ResumeDrawing(MainWindow);
    }
    if (!window.minimised) {
        // Where the compositor keeps the position to itself (Wayland), the
        // window reads as standing at 0,0; the stored place is kept for the
        // next start on a desktop that has one.
        if (ui::WindowPlacementKnown()) {
            s.App_X = window.x;
            s.App_Y = window.y;
        }
        s.App_W = window.w;
        s.App_H = window.h;
    }
}

void LayoutHeaderRow()
{
    using namespace ui::id;
    HeaderRowInput in;
    in.W = ui::Geometry(MainWindow).width();
    in.uiScale = runtime::Display.uiScale;
    in.siteColours = settings::Settings.Zorva_Colors == 1;
    in.contentTabsEnd = TabStripEnd(ContentTabs);
    in.newsTabsEnd = TabStripEnd(NewsTabs);
    in.newsTabsY = ui::Geometry(NewsTabs).y();
    for (const auto& [number, rect] : ComputeHeaderRow(in, {}))
        Apply(number, rect);
}

} // namespace app
