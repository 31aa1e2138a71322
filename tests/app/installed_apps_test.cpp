#include "app/shell_state.h"
#include "app/event_loop.h"
#include "app/installed_apps.h"
#include "app/tray.h"
#include "app/tray_menu.h"
#include "window_fixture.h"

#include "support/qstring_print.h"
#include "runtime/app_identity.h"
#include "runtime/app_paths.h"
#include "runtime/clock.h"
#include "runtime/event_queue.h"
#include "runtime/process_state.h"
#include "support/test_files.h"
#include "ui/control_numbers.h"
#include "ui/controls.h"
#include "ui/list_control.h"
#include "ui/tray_icon.h"
#include "updater/apps_table.h"
#include "updater/package_manager.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

using namespace ui::id;

namespace {

const QColor Red(200, 0, 0);

// The "Installed Apps" tab driven through the real windows, with the
// stand-in package manager in the place of the real one.
class InstalledApps : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(apptest::CreateProgramWindows());
        runtime::SetEventThread();
        dir = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(dir->isValid());
    }

    static void TearDownTestSuite() { dir.reset(); }

    void SetUp() override
    {
        runtime::WingetPath = STANDIN_PATH;
        runtime::UpdaterAvailable = 1;
        QFile::remove(ArgsPath());
        qputenv("STANDIN_ARGS", ArgsPath().toUtf8());
        qunsetenv("STANDIN_ROWS");
        qunsetenv("STANDIN_ASK");
        qunsetenv("STANDIN_UPGRADE");
        ui::SetText(FilterBox, QString());
        app::LastFilterText.clear();
        app::AppLines.clear();
        ui::ClearRows(AppsList);
    }

    void TearDown() override { qunsetenv("STANDIN_ARGS"); }

    static QString ArgsPath() { return dir->filePath("args"); }

    /// The stand-in lists these "name|identifier|installed|available" rows.
    static void ListRows(const QByteArray& rows)
    {
        const QString path = dir->filePath("rows");
        testsupport::WriteBytes(path, rows);
        qputenv("STANDIN_ROWS", path.toUtf8());
    }

    /// The argument vectors the stand-in was run with, one per run.
    static QList<QStringList> Runs() { return testsupport::RecordedRuns(ArgsPath()); }

    static void ClickCheck()
    {
        app::DispatchEvent(runtime::EvControl, MainWindow, AppsCheckButton, ui::ControlClick, 0);
    }

    static QStringList Names()
    {
        QStringList names;
        for (int64_t row = 0; row < ui::RowCount(AppsList); ++row)
            names << ui::CellText(AppsList, row, 0);
        return names;
    }

    /// The names as one readable text, for comparisons.
    static QString ShownNames() { return Names().join(" | "); }

    static int64_t RowNamed(const QString& name) { return Names().indexOf(name); }

    static void SelectOnly(const QList<int64_t>& rows)
    {
        for (int64_t row = 0; row < ui::RowCount(AppsList); ++row)
            ui::SelectRow(AppsList, row, rows.contains(row));
    }

    /// The rich-text box shows CR LF as one line break.
    static QString Shown(QString text) { return text.replace("\r\n", "\n"); }

    static inline std::unique_ptr<QTemporaryDir> dir;
};

} // namespace

TEST_F(InstalledApps, TheTrayItemStartsACheckThatListsEveryAppAndMarksUpdatesRed)
{
    qputenv("STANDIN_ASK", "1"); // listed only once the agreement question is answered
    ui::SetState(ContentTabs, ui::tab::Today);
    app::DispatchEvent(runtime::EvMenu, MainWindow, app::menu::RefreshApps, 0, 0);
    EXPECT_EQ(ui::State(ContentTabs), ui::tab::InstalledApps);
    // The item posts a click on the check button; the loop picks it up.
    const int64_t giveUp = runtime::ElapsedMs() + 5000;
    while (runtime::WaitEvent(1) != runtime::EvControl && runtime::ElapsedMs() < giveUp) {
    }
    ASSERT_EQ(runtime::EventObject(), AppsCheckButton);
    app::DispatchEvent(runtime::EvControl, runtime::EventWindow(), runtime::EventObject(), runtime::EventType(), 0);
    ui::HideWindow(MainWindow);

    EXPECT_EQ(Runs(), (QList<QStringList>{{"list"}}));
    // Sorted without regard to case; the tool's last line is listed too.
    EXPECT_EQ(ShownNames(), "Audio Tool | caf\u00e9 cr\u00e8me Notes | Kelvara Studio | Mail Sync | Zip Packer "
                            "Professional Edition\u2026");
    const struct
    {
        const char* name;
        const char* cells; // installed, available, identifier, mark
        bool red;
    } rows[] = {
        {"Audio Tool", "10.0|9.1|Audio.Tool|0", false},
        {"caf\u00e9 cr\u00e8me Notes", "2.1.0|2.1|Cafe.CremeNotes|0", false},
        {"Kelvara Studio", "121.0|122.0|Kelvara.Studio|1", true},
        {"Mail Sync", "3.0|Unknown|Mail.Sync|0", false},
        {"Zip Packer Professional Edition\u2026", "1.2.3|1.3|ZipPacker.Pro|1", true},
    };
    for (const auto& r : rows) {
        const int64_t row = RowNamed(QString::fromUtf8(r.name));
        ASSERT_GE(row, 0) << r.name;
        const QStringList cells = QString::fromUtf8(r.cells).split('|');
        for (int column = 1; column <= 4; ++column)
            EXPECT_EQ(ui::CellText(AppsList, row, column), cells[column - 1]) << r.name << " column " << column;
        EXPECT_EQ(ui::RowImage(AppsList, row), r.red ? ui::ImageId::UpdateIcon : ui::ImageId::UpToDateIcon) << r.name;
        for (int column = 0; column <= 4; ++column)
            EXPECT_EQ(ui::CellColour(AppsList, row, column), r.red ? Red : QColor()) << r.name << " column " << column;
    }
    EXPECT_EQ(ui::Text(AppsInfoBox), Shown(updater::CheckCompleteText(5, 2)));
    EXPECT_EQ(ui::Text(AppsCheckButton), "Check for updates for your installed apps");
    EXPECT_TRUE(ui::IsEnabled(AppsCheckButton));
    EXPECT_TRUE(ui::IsEnabled(SelectUpdatesButton));
    EXPECT_FALSE(ui::IsEnabled(StartUpdatesButton)); // until rows are selected
    EXPECT_EQ(ui::Text(StatusLine), " Ready.");
    EXPECT_EQ(runtime::AppsRefreshBusy.load(), 0);
    EXPECT_TRUE(ui::IsEnabled(MainWindow));
}

TEST_F(InstalledApps, TheToolsNotesShowUnderTheCheckCounts)
{
    const QString note = "The remote \"dead\" of the user installation could not be reached.";
    qputenv("STANDIN_NOTE", note.toUtf8());
    ClickCheck();
    qunsetenv("STANDIN_NOTE");
    EXPECT_EQ(Names().size(), 5) << "a note is no application";
    EXPECT_TRUE(ui::Text(AppsInfoBox).endsWith("\n\n" + note)) << ui::Text(AppsInfoBox).toStdString();
    EXPECT_TRUE(ui::Text(AppsInfoBox).startsWith(Shown(updater::CheckCompleteText(5, 2))));
}

TEST_F(InstalledApps, AfterACheckTheTrayTooltipIsWhatTheLastRefreshLeftThere)
{
    ASSERT_TRUE(app::CreateTray());
    const struct
    {
        const char* what;
        QString headline;
        QString tooltip;
    } rows[] = {
        {"the latest headline", "Kelvara Studio 122 is out", "Kelvara Studio 122 is out"},
        {"no headline: the title", "", runtime::AppTitle},
    };
    for (const auto& r : rows) {
        app::LatestHeadline = r.headline;
        ClickCheck();
        EXPECT_EQ(ui::TrayTooltip(TrayIcon), r.tooltip) << r.what;
    }
    app::LatestHeadline.clear();
    // The blinker draws the icon once more, and the checks of later tests
    // would draw it again; not after the application is gone.
    EXPECT_TRUE(QTest::qWaitFor([] { return app::TrayBlinkersRunning() == 0; }, 10000));
    ui::TrayRemoveAll();
}

TEST_F(InstalledApps, TheFilterRefillsFromTheKeptLinesAndACheckCountsOnlyShownUpdates)
{
    ClickCheck();
    ASSERT_EQ(ui::RowCount(AppsList), 5);
    ASSERT_TRUE(app::FilterAppliesToApps);

    ui::SetText(FilterBox, "KELVARA");
    app::DispatchEvent(runtime::EvControl, MainWindow, FilterBox, ui::ControlChange, 0);
    EXPECT_EQ(ShownNames(), "Kelvara Studio");
    EXPECT_EQ(ui::CellColour(AppsList, 0, 0), Red);
    EXPECT_EQ(Runs().size(), 1) << "a refill does not run the package manager";

    ui::SetText(FilterBox, "notes");
    ClickCheck();
    EXPECT_EQ(ShownNames(), "caf\u00e9 cr\u00e8me Notes");
    EXPECT_EQ(ui::Text(AppsInfoBox), Shown(updater::CheckCompleteText(5, 0))); // all installed, updates shown
}

TEST_F(InstalledApps, AFailedCheckSaysSoAndKeepsTheLastGoodLines)
{
    ClickCheck();
    ASSERT_EQ(ui::RowCount(AppsList), 5);

    runtime::WingetPath = "/bin/true"; // prints nothing
    const auto seen = apptest::AnswerNextBox(QMessageBox::Ok);
    ClickCheck();
    EXPECT_EQ(seen->title, "Failure");
    EXPECT_EQ(seen->text, "App list couldn't be determined right now (try again).");
    EXPECT_EQ(ui::RowCount(AppsList), 0);
    EXPECT_EQ(ui::Text(AppsInfoBox), "Last check failed.");
    EXPECT_FALSE(ui::IsEnabled(SelectUpdatesButton));
    EXPECT_TRUE(ui::IsEnabled(AppsCheckButton));

    ui::SetText(FilterBox, "a");
    app::DispatchEvent(runtime::EvControl, MainWindow, FilterBox, ui::ControlChange, 0);
    EXPECT_EQ(ui::RowCount(AppsList), 5) << "the previous check's lines";

    // A table with no rows is a check that worked.
    runtime::WingetPath = STANDIN_PATH;
    ListRows("");
    ui::SetText(FilterBox, QString());
    ClickCheck();
    EXPECT_EQ(ui::RowCount(AppsList), 0);
    EXPECT_EQ(ui::Text(AppsInfoBox), Shown(updater::CheckCompleteText(0, 0)));
    EXPECT_FALSE(ui::IsEnabled(SelectUpdatesButton));
}

TEST_F(InstalledApps, AFailedCheckShowsWhyTheToolFailed)
{
    QTemporaryDir noFlatpak;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", noFlatpak.path().toUtf8());
    qputenv("ZORVANE_PACKAGES_SOURCES", "flatpak");
    runtime::WingetPath = ZORVANE_PACKAGES_BRIDGE; // the real bridge, which finds no source and exits at once
    const auto seen = apptest::AnswerNextBox(QMessageBox::Ok);
    ClickCheck();
    qputenv("PATH", path);
    qunsetenv("ZORVANE_PACKAGES_SOURCES");
    EXPECT_EQ(seen->title, "Failure");
    EXPECT_EQ(ui::Text(AppsInfoBox),
              "Last check failed.\n\nzorvane-packages: neither flatpak nor PackageKit can be used");
}

TEST_F(InstalledApps, SelectionCommandsDecideWhetherUpdatesCanStart)
{
    ClickCheck();
    const int64_t kelvara = RowNamed("Kelvara Studio");
    const int64_t mail = RowNamed("Mail Sync");

    app::DispatchEvent(runtime::EvControl, MainWindow, SelectUpdatesButton, ui::ControlClick, 0);
    EXPECT_EQ(ui::SelectedRows(AppsList), (QList<int64_t>{kelvara, RowNamed("Zip Packer Professional Edition\u2026")}));
    EXPECT_TRUE(ui::IsEnabled(StartUpdatesButton));

    SelectOnly({mail});
    app::DispatchEvent(runtime::EvControl, MainWindow, AppsList, ui::ControlSelection, 0);
    EXPECT_FALSE(ui::IsEnabled(StartUpdatesButton)) << "only a row without update";

    app::SelectAllApps();
    EXPECT_EQ(ui::SelectedRows(AppsList).size(), 5);
    EXPECT_TRUE(ui::IsEnabled(StartUpdatesButton));

    SelectOnly({});
    app::DispatchEvent(runtime::EvControl, MainWindow, AppsList, ui::ControlClick, 0);
    EXPECT_FALSE(ui::IsEnabled(StartUpdatesButton));

    // No red row: the selection is cleared and nothing else changes.
    ListRows("Mail Sync|Mail.Sync|3.0|\n");
    ClickCheck();
    ui::SetEnabled(StartUpdatesButton, true);
    SelectOnly({0});
    app::SelectAppsWithUpdates();
    EXPECT_TRUE(ui::SelectedRows(AppsList).isEmpty());
    EXPECT_TRUE(ui::IsEnabled(StartUpdatesButton));

    ui::ClearRows(AppsList);
    app::SelectAllApps();
    EXPECT_FALSE(ui::IsEnabled(StartUpdatesButton)) << "Control+A on an empty list";
    EXPECT_EQ(Runs().size(), 2) << "selecting never upgrades";
}

TEST_F(InstalledApps, ButtonsGettingTheFocusNeitherCheckSelectNorUpgrade)
{
    ClickCheck();
    SelectOnly({RowNamed("Kelvara Studio")});
    ui::SetEnabled(StartUpdatesButton, true);
    for (const int64_t button : {StartUpdatesButton, AppsCheckButton, SelectUpdatesButton})
        app::DispatchEvent(runtime::EvControl, MainWindow, button, ui::ControlFocus, 0);
    EXPECT_EQ(Runs().size(), 1) << "only the first check ran";
    EXPECT_EQ(ui::SelectedRows(AppsList).size(), 1) << "the selection stays as it was";
}

TEST_F(InstalledApps, OneRowUpgradesWithoutAQuestionAndTurnsNormalOnSuccess)
{
    ClickCheck();
    const int64_t kelvara = RowNamed("Kelvara Studio");
    SelectOnly({kelvara});
    app::DispatchEvent(runtime::EvControl, MainWindow, StartUpdatesButton, ui::ControlClick, 0);

    const QStringList byName = QStringList{"upgrade", "Kelvara Studio"} + updater::UpgradeOptions;
    ASSERT_EQ(Runs().size(), 2);
    EXPECT_EQ(Runs()[1], byName);
    EXPECT_EQ(ui::RowImage(AppsList, kelvara), ui::ImageId::UpToDateIcon);
    EXPECT_EQ(ui::CellColour(AppsList, kelvara, 0), QColor());
    EXPECT_EQ(ui::CellText(AppsList, kelvara, 1), "122.0");
    EXPECT_EQ(ui::CellText(AppsList, kelvara, 2), "Unknown");
    EXPECT_EQ(ui::CellText(AppsList, kelvara, 4), "0");
    const QString log = ui::Text(AppsInfoBox);
    EXPECT_TRUE(log.startsWith("Updating: Kelvara Studio\n\n")) << log.toStdString();
    EXPECT_TRUE(log.contains("\nSuccessfully installed!")) << log.toStdString();
    EXPECT_TRUE(log.contains("stand-in: progress note one")) << "standard error in the log";
    EXPECT_EQ(ui::Text(AppsCheckButton), "Check for updates for your installed apps");
    EXPECT_TRUE(ui::IsEnabled(SelectUpdatesButton));
    EXPECT_EQ(ui::Text(StatusLine), " Ready.");

    // The row is no longer red: a double click starts nothing.
    app::DispatchEvent(runtime::EvControl, MainWindow, AppsList, ui::ControlDoubleClick, 0);
    EXPECT_EQ(Runs().size(), 2);

    // A failed upgrade leaves its row red, with the cancel code on a line of its own.
    qputenv("STANDIN_UPGRADE", "cancel");
    const int64_t zip = RowNamed("Zip Packer Professional Edition\u2026");
    SelectOnly({zip});
    app::DispatchEvent(runtime::EvControl, MainWindow, AppsList, ui::ControlDoubleClick, 0);
    ASSERT_EQ(Runs().size(), 3);
    EXPECT_EQ(Runs()[2], QStringList({"upgrade", "--id", "ZipPacker.Pro"}) + updater::UpgradeOptions)
        << "a shortened name goes by identifier";
    EXPECT_EQ(ui::CellText(AppsList, zip, 4), "1");
    EXPECT_EQ(ui::CellColour(AppsList, zip, 0), Red);
    EXPECT_TRUE(ui::Text(AppsInfoBox).contains("\n0x800704c7")) << ui::Text(AppsInfoBox).toStdString();
}

TEST_F(InstalledApps, ARowTurnsNormalOnlyWhenTheToolSaysSoAndExitsWithZero)
{
    const struct
    {
        const char* upgrade; // STANDIN_UPGRADE
        const char* mark;
    } rows[] = {
        {"ok", "0"}, {"lie", "1"}, // "Successfully installed", then exit status 1
    };
    for (const auto& r : rows) {
        qputenv("STANDIN_UPGRADE", r.upgrade);
        ClickCheck();
        const int64_t kelvara = RowNamed("Kelvara Studio");
        SelectOnly({kelvara});
        app::DispatchEvent(runtime::EvControl, MainWindow, AppsList, ui::ControlDoubleClick, 0);
        EXPECT_EQ(ui::CellText(AppsList, kelvara, 4), r.mark) << r.upgrade;
    }
}

TEST_F(InstalledApps, SeveralRowsAskFirstAndUpgradeOnlyTheRedOnesInListOrder)
{
    ClickCheck();
    const int64_t zip = RowNamed("Zip Packer Professional Edition\u2026");
    const int64_t kelvara = RowNamed("Kelvara Studio");
    SelectOnly({zip, kelvara, RowNamed("Mail Sync")});

    const auto declined = apptest::AnswerNextBox(QMessageBox::Cancel);
    app::StartUpdates();
    EXPECT_EQ(declined->title, "Confirm");
    EXPECT_EQ(declined->text, "Update all selected apps? This can't be stopped once started.\nYou might be asked "
                              "for your password, so stick around.");
    EXPECT_EQ(Runs().size(), 1) << "Cancel runs nothing";

    const auto accepted = apptest::AnswerNextBox(QMessageBox::Ok);
    app::StartUpdates();
    EXPECT_EQ(accepted->title, "Confirm");
    EXPECT_EQ(Runs().mid(1),
              (QList<QStringList>{QStringList{"upgrade", "Kelvara Studio"} + updater::UpgradeOptions,
                                  QStringList{"upgrade", "--id", "ZipPacker.Pro"} + updater::UpgradeOptions}));
    EXPECT_EQ(ui::CellText(AppsList, zip, 4), "0");
    EXPECT_EQ(ui::CellText(AppsList, kelvara, 4), "0");
}

TEST_F(InstalledApps, AFloodingUpgradeKeepsOnlyTheLogsLastLines)
{
    qputenv("STANDIN_UPGRADE_LINES", "20000");
    ClickCheck();
    app::UpgradeApp(RowNamed("Kelvara Studio"), "Kelvara Studio", "Kelvara.Studio", "122.0");
    qunsetenv("STANDIN_UPGRADE_LINES");
    const QString log = ui::Text(AppsInfoBox);
    EXPECT_LE(log.count('\n') + 1, app::AppsLogLineLimit);
    EXPECT_FALSE(log.contains("Unpacking file 1 of")) << "the oldest lines go";
    EXPECT_TRUE(log.contains("Unpacking file 20000 of") && log.contains("\nSuccessfully installed!"))
        << "the end stays";
}

TEST_F(InstalledApps, SeveralUpgradesKeepEveryAppsLogAndEndWithWhatBecameOfEach)
{
    ListRows("Alpha One|A.One|1.0|2.0\nMasked App|Masked.App|1.0|2.0\nZeta Two|Z.Two|1.0|2.0\n");
    qputenv("STANDIN_FAIL_TARGET", "Masked App");
    ClickCheck();
    app::SelectAllApps();
    apptest::AnswerNextBox(QMessageBox::Ok);
    app::StartUpdates();
    qunsetenv("STANDIN_FAIL_TARGET");

    const QStringList log = ui::Text(AppsInfoBox).split('\n');
    QStringList headers;
    for (const QString& line : log) {
        if (line.startsWith("Updating: "))
            headers << line;
    }
    EXPECT_EQ(headers, (QStringList{"Updating: Alpha One", "Updating: Masked App", "Updating: Zeta Two"}));
    EXPECT_EQ(log.count(log.value(0)), 4) << "a separator line before each app and before the summary";
    EXPECT_EQ(log.back(), "2 updated, 1 failed: Masked App");
}

TEST_F(InstalledApps, ANameFromTheTableReachesTheToolUnchangedAndRunsNothingElse)
{
    const QString marker = dir->filePath("ran");
    const QByteArray name = "q\"&;$(touch ran)`touch ran`'x";
    ListRows(name + "|Evil.Id|1.0|2.0\n");
    QFile::remove(marker);
    ClickCheck();
    ASSERT_EQ(ShownNames(), QString::fromUtf8(name));
    SelectOnly({0});
    app::DispatchEvent(runtime::EvControl, MainWindow, AppsList, ui::ControlDoubleClick, 0);
    ASSERT_EQ(Runs().size(), 2);
    EXPECT_EQ(Runs()[1], QStringList({"upgrade", QString::fromUtf8(name)}) + updater::UpgradeOptions);
    EXPECT_FALSE(QFileInfo::exists("ran"));
    EXPECT_FALSE(QFileInfo::exists(marker));
}
