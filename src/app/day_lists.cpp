#include "app/day_lists.h"

#include "app/colour_scheme.h"
#include "app/content_state.h"
#include "app/message_box.h"
#include "app/status_line.h"
#include "app/window_layout.h"
#include "content/day_scraper.h"
#include "content/file_filters.h"
#include "content/list_status.h"
#include "runtime/app_identity.h"
#include "runtime/display_metrics.h"
#include "settings/app_settings.h"
#include "ui/control_numbers.h"
#include "ui/controls.h"
#include "ui/list_control.h"
#include "ui/tab_control.h"

namespace app {

namespace {

QList<QString> Joined(const QList<content::FileRow>& rows)
{
    QList<QString> texts;
    texts.reserve(rows.size());
    for (const content::FileRow& row : rows)
        texts << row.Joined();
    return texts;
}

} // namespace

const QString& LastAlertLog()
{
    return AlertLog;
}

void ScrapeDayLists()
{
    using namespace ui::id;
    const content::DayScan scan =
        content::ScanDayPage(DayPageText, settings::Settings, ui::Text(FilterBox), runtime::SiteBaseUrl());
    ui::SuspendDrawing(TodayList);
    ui::SuspendDrawing(YesterdayList);
    ui::AddRows(TodayList, Joined(scan.today), {});
    ui::AddRows(YesterdayList, Joined(scan.yesterday), {});
    for (const qsizetype row : scan.alertRows) {
        ui::SetCellColour(TodayList, row, 1, AlertRedColour);
        ui::SetCellColour(TodayList, row, 2, AlertRedColour);
    }
    if (scan.tab0Caption)
        ui::SetTabCaption(ContentTabs, 0, *scan.tab0Caption);
    if (scan.tab1Caption) {
        ui::SetTabCaption(ContentTabs, 1, *scan.tab1Caption);
        const QRect line = ui::Geometry(TabStripLine);
        ui::Resize(TabStripLine, static_cast<int>(TabStripEnd(ContentTabs)), line.height());
    }
    AlertLog = scan.alertLog;
    ui::ResumeDrawing(TodayList);
    ui::ResumeDrawing(YesterdayList);
}

void ShowListSummary(int tab)
{
    using namespace ui::id;
    const int64_t list = tab == 1 ? YesterdayList : TodayList;
    const content::ListSummary summary =
        content::SummariseList(tab, ui::RowCount(list), ui::Text(FilterBox), settings::Settings.Platform);
    FilterAppliesToApps = summary.filterAppliesToApps;
    const QRect box = ui::Geometry(FilterBox);
    ui::Resize(FilterBox, static_cast<int>(runtime::Scaled(summary.filterBoxWidth, runtime::Display.uiScale)),
               box.height());
    ui::SetVisible(PlatformCombo, summary.platformComboShown);
    SetStatusText(summary.statusText, false);
}

void ShowScrapeOutcome()
{
    using namespace ui::id;
    const content::ScrapeOutcomeResult result =
        content::DecideScrapeOutcome(ui::RowCount(TodayList), ui::Text(FilterBox), settings::Settings.Platform);
    if (result.outcome != content::ScrapeOutcome::NoContent) {
        SetStatusText(result.statusText, false);
        return;
    }
    SetStatusText(result.statusText, true);
    ui::SetTabCaption(ContentTabs, 0, content::TodayTabCaption);
    ui::SetTabCaption(ContentTabs, 1, content::YesterdayTabCaption);
    LayoutHeaderRow();
    ShowMessageBox(content::NoContentBoxTitle, runtime::NoContentText, FlagsWarningIcon);
}

void ShowAlertPopup()
{
    const content::AlertPopupDecision decision =
        content::DecideAlertPopup(AlertPopupShown, AlertLog, settings::Settings.Alert_Popup);
    if (decision.markShown)
        AlertPopupShown = true;
    if (decision.showBox)
        ShowMessageBox(content::AlertPopupTitle, content::AlertPopupText(AlertLog), FlagsInformationIcon);
}

} // namespace app
