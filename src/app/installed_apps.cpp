#include "app/installed_apps.h"

#include "app/desktop_texts.h"
#include "app/site_colours.h"
#include "app/refreshing_window.h"
#include "app/shell_state.h"
#include "app/day_lists.h"
#include "app/message_box.h"
#include "app/settings_window.h"
#include "app/status_line.h"
#include "app/tray.h"
#include "runtime/app_paths.h"
#include "runtime/event_queue.h"
#include "runtime/process_state.h"
#include "runtime/threads.h"
#include "ui/control_numbers.h"
#include "ui/controls.h"
#include "ui/list_control.h"
#include "ui/rich_text.h"
#include "updater/apps_table.h"
#include "updater/package_manager.h"

#include <QColor>

#include <algorithm>

namespace app {

namespace {

using namespace ui::id;

// The apps list's columns.
constexpr int NameColumn = 0;
constexpr int InstalledColumn = 1;
constexpr int AvailableColumn = 2;
constexpr int IdColumn = 3;
constexpr int MarkColumn = 4;

const QString CheckCaption = QStringLiteral("Check for updates for your installed apps");
const QString ReadyText = QStringLiteral("Ready.");

bool MarkedForUpdate(int64_t row)
{
    return ui::CellText(AppsList, row, MarkColumn) == QStringLiteral("1");
}

bool AnyMarked(const QList<int64_t>& rows)
{
    return std::any_of(rows.begin(), rows.end(), MarkedForUpdate);
}

void EnableTabButtons(bool enabled)
{
    for (const int64_t button : {AppsCheckButton, SelectUpdatesButton, StartUpdatesButton})
        ui::SetEnabled(button, enabled);
}

/// Fills AppsList from the kept lines under the filter text; the number of
/// red rows.
qsizetype FillAppsList()
{
    const updater::AppsFill fill = updater::FillApps(AppLines, ui::Text(FilterBox));
    QList<ui::ImageId> images;
    images.reserve(fill.updates.size());
    for (const bool update : fill.updates)
        images << (update ? ui::ImageId::UpdateIcon : ui::ImageId::UpToDateIcon);
    ui::SuspendDrawing(AppsList);
    ui::AddRows(AppsList, fill.rows, images);
    for (qsizetype row = 0; row < fill.updates.size(); ++row) {
        if (fill.updates[row])
            ui::SetRowColour(AppsList, row, AlertRedColour);
    }
    ui::ResumeDrawing(AppsList);
    return fill.updateCount;
}

/// Between two passes of a package-manager run, as between the steps of a
/// content refresh: the windows paint, the tray, the desktop's D-Bus calls, a
/// second copy and a quit request are answered, and what the user did
/// meanwhile is dropped, so that nothing starts inside the run.
void KeepAliveDuringRun()
{
    runtime::DrainEvents();
    ui::SetCursor(ui::CursorShape::Wait);
}

/// One pass of a check's read loop: the table waits for the end.
void CheckPass(const QStringList&, const QStringList&)
{
    KeepAliveDuringRun();
}

/// One pass of an upgrade's read loop: the lines it took go to the log.
void ShowLogPass(const QStringList& lines, const QStringList& errors)
{
    QStringList shown;
    for (const QStringList* taken : {&lines, &errors}) {
        for (const QString& line : *taken) {
            if (!line.isEmpty())
                shown << updater::CleanLogLine(line);
        }
    }
    ui::AppendLines(AppsInfoBox, shown);
    ui::ClearTextSelection(AppsInfoBox);
    KeepAliveDuringRun();
}

/// Empties AppsInfoBox for an upgrade's log, which keeps its last
/// AppsLogLineLimit lines.
void StartLog()
{
    ui::SetText(AppsInfoBox, QString());
    ui::SetLineLimit(AppsInfoBox, AppsLogLineLimit);
}

void Check()
{
    if (runtime::SettingsOpen.load() == 1)
        CloseSettingsWindow();
    runtime::AppsRefreshBusy = 1;
    StartTrayBusyAnimation();
    const QString checking = QStringLiteral("Checking for app updates...");
    SetStatusText(checking, false);
    ShowRefreshingWindow(checking);
    ui::SetText(AppsInfoBox, checking);
    ui::SetText(AppsCheckButton, QStringLiteral("(Refreshing)"));
    ui::ClearRows(AppsList);
    EnableTabButtons(false);
    ui::SetState(ContentTabs, ui::tab::InstalledApps);
    CurrentTab = ui::tab::InstalledApps;
    LastSeenTab = ui::tab::InstalledApps;
    ShowListSummary(ui::tab::InstalledApps);
    runtime::DrainEvents();
    ui::SetCursor(ui::CursorShape::Wait);

    const updater::PackageRun run = updater::RunPackageManager(updater::ListCommand(runtime::WingetPath).arguments,
                                                               CheckPass, updater::ListSilenceLimitMs);
    runtime::AppsRefreshBusy = 0;
    ShowRestingTrayTooltip();
    if (updater::ListRunFailed(run)) {
        FinishAppsCheck();
        ui::SetText(AppsInfoBox, updater::CheckFailedText(run.lastErrors));
        ShowMessageBox(QStringLiteral("Failure"),
                       QStringLiteral("App list couldn't be determined right now (try again)."), FlagsWarningIcon);
        return;
    }
    AppLines = updater::TakeAppLines(run.output);
    const qsizetype updates = FillAppsList();
    FinishAppsCheck();
    ui::SetText(AppsInfoBox, updater::CheckCompleteText(AppLines.size(), updates, updater::TakeToolNotes(run.output)));
    ui::SetFocus(FilterBox);
    runtime::DrainEvents();
}

/// Between the logs of two applications upgraded in one run.
const QString BatchSeparator = QString(40, u'-');

/// Upgrades one application with its output appended live to AppsInfoBox
/// under the line "Updating: " + name; on success its row `row` turns normal
/// and shows `available` as installed. True when it worked.
bool RunUpgrade(int64_t row, const QString& name, const QString& identifier, const QString& available)
{
    const QString status = QStringLiteral("Updating: ") + name;
    SetStatusText(status, false);
    ShowRefreshingWindow(status, ui::ImageId::UpgradingIcon);
    ui::SetText(AppsCheckButton, QStringLiteral("(Updating)"));
    EnableTabButtons(false);
    ui::AppendLine(AppsInfoBox, status + QStringLiteral("\r\n"));
    runtime::DrainEvents();
    ui::SetCursor(ui::CursorShape::Wait);

    const updater::PackageCommand command = updater::UpgradeCommand(runtime::WingetPath, name, identifier);
    const updater::PackageRun run = updater::RunPackageManager(command.arguments, ShowLogPass, 0);

    ShowRefreshingWindow(QString());
    SetStatusText(ReadyText, false);
    ui::SetText(AppsCheckButton, CheckCaption);
    EnableTabButtons(true);
    ui::SetCursor(ui::CursorShape::Arrow);
    const bool succeeded = updater::UpgradeSucceeded(run.output, run.exitStatus);
    if (succeeded) {
        ui::SetRowImage(AppsList, row, ui::ImageId::UpToDateIcon);
        ui::SetRowColour(AppsList, row, QColor());
        ui::SetCellText(AppsList, row, InstalledColumn, available);
        ui::SetCellText(AppsList, row, AvailableColumn, updater::UnknownVersion);
        ui::SetCellText(AppsList, row, MarkColumn, QStringLiteral("0"));
    }
    runtime::DrainEvents();
    return succeeded;
}

/// UpgradeApp for row `row`, with the name, identifier and available version
/// its cells hold.
void UpgradeRow(int64_t row)
{
    UpgradeApp(row, ui::CellText(AppsList, row, NameColumn), ui::CellText(AppsList, row, IdColumn),
               ui::CellText(AppsList, row, AvailableColumn));
}

} // namespace

void RefreshInstalledApps(bool recheck)
{
    if (recheck) {
        Check();
        return;
    }
    ui::ClearRows(AppsList);
    FillAppsList();
}

void FinishAppsCheck()
{
    ui::SetCursor(ui::CursorShape::Arrow);
    const bool rows = ui::RowCount(AppsList) > 0;
    if (!rows)
        ui::SetText(AppsInfoBox, QStringLiteral("Last check failed."));
    ui::SetEnabled(SelectUpdatesButton, rows);
    ui::SetText(AppsCheckButton, CheckCaption);
    ui::SetEnabled(AppsCheckButton, true);
    ShowRefreshingWindow(QString());
    SetStatusText(ReadyText, false);
}

void OnAppsListEvent(int64_t type)
{
    // No draining here: Qt moves the focus into the apps list before it
    // reports the tab change that showed it, and that change must still
    // arrive. The upgrade below drains once it starts.
    const QList<int64_t> selected = ui::SelectedRows(AppsList);
    if (selected.isEmpty()) {
        ui::SetEnabled(StartUpdatesButton, false);
        return;
    }
    ui::SetEnabled(StartUpdatesButton, AnyMarked(selected));
    const int64_t row = selected.front();
    if (type == ui::ControlDoubleClick && MarkedForUpdate(row)) {
        UpgradeRow(row);
        ui::BringToFront(MainWindow);
    }
}

void SelectAllApps()
{
    ui::SelectAllRows(AppsList);
    QList<int64_t> all;
    for (int64_t row = 0; row < ui::RowCount(AppsList); ++row)
        all << row;
    ui::SetEnabled(StartUpdatesButton, AnyMarked(all));
}

void SelectAppsWithUpdates()
{
    for (const int64_t row : ui::SelectedRows(AppsList))
        ui::SelectRow(AppsList, row, false);
    bool any = false;
    for (int64_t row = 0; row < ui::RowCount(AppsList); ++row) {
        if (MarkedForUpdate(row)) {
            ui::SelectRow(AppsList, row, true);
            any = true;
        }
    }
    if (any)
        ui::SetEnabled(StartUpdatesButton, true);
}

void StartUpdates()
{
    // The main window is disabled while each upgrade runs, so the selection
    // taken now is the one that holds throughout.
    const QList<int64_t> selected = ui::SelectedRows(AppsList);
    if (selected.size() != 1 &&
        ShowMessageBox(QStringLiteral("Confirm"),
                       QStringLiteral("Update all selected apps? This can't be stopped once started.\n") +
                           OnLinux(DesktopText::UpgradePrompts),
                       FlagsOkCancel | FlagsQuestionIcon | FlagsSecondDefault) != IdOk)
        return;
    if (selected.size() == 1) {
        const int64_t row = selected.front();
        if (MarkedForUpdate(row))
            UpgradeRow(row);
        ui::BringToFront(MainWindow);
        return;
    }
    // One log for the whole run, each application's output under a separator,
    // and at the end what became of each.
    StartLog();
    qsizetype updated = 0;
    QStringList failed;
    for (const int64_t row : selected) {
        if (!MarkedForUpdate(row))
            continue;
        const QString name = ui::CellText(AppsList, row, NameColumn);
        ui::AppendLine(AppsInfoBox, BatchSeparator);
        if (RunUpgrade(row, name, ui::CellText(AppsList, row, IdColumn), ui::CellText(AppsList, row, AvailableColumn)))
            ++updated;
        else
            failed << name;
    }
    ui::AppendLines(AppsInfoBox, {BatchSeparator, updater::UpgradeSummaryText(updated, failed)});
}

void UpgradeApp(int64_t row, const QString& name, const QString& identifier, const QString& available)
{
    StartLog();
    RunUpgrade(row, name, identifier, available);
}

} // namespace app
