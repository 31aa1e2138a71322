#include "app/day_lists.h"

#include "app/site_colours.h"
#include "app/shell_state.h"
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

void RescanDayLists()
{
    ui::ClearRows(ui::id::TodayList);
    ui::ClearRows(ui::id::YesterdayList);
    ScrapeDayLists();
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
        ui::SetTabCaption(ContentTabs, ui::tab::Today, *scan.tab0Caption);
    if (scan.tab1Caption) {
        ui::SetTabCaption(ContentTabs, ui::tab::Yesterday, *scan.tab1Caption);
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
    const content::ShownList shown = tab == ui::tab::Today       ? content::ShownList::Today
                                     : tab == ui::tab::Yesterday ? content::ShownList::Yesterday
                                                                 : content::ShownList::Other;
    const int64_t list = shown == content::ShownList::Yesterday ? YesterdayList : TodayList;
    const content::ListSummary summary =
        content::SummariseList(shown, ui::RowCount(list), ui::Text(FilterBox), settings::Settings.Platform);
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
    ui::SetTabCaption(ContentTabs, ui::tab::Today, content::TodayTabCaption);
    ui::SetTabCaption(ContentTabs, ui::tab::Yesterday, content::YesterdayTabCaption);
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
