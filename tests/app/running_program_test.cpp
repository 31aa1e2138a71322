#include "app/content_refresh.h"
#include "app/shell_state.h"
#include "app/day_lists.h"
#include "app/event_loop.h"
#include "app/picture_of_the_day.h"
#include "app/tray.h"
#include "content/channel_scraper.h"
#include "runtime/clock.h"
#include "support/test_files.h"
#include "ui/images.h"
#include "window_fixture.h"

#include "runtime/app_identity.h"
#include "runtime/app_paths.h"
#include "runtime/event_queue.h"
#include "runtime/process_state.h"
#include "sample_site_server.h"
#include "settings/app_settings.h"
#include "support/local_site.h"
#include "ui/control_numbers.h"
#include "ui/controls.h"
#include "ui/input_events.h"
#include "ui/list_control.h"
#include "ui/tab_control.h"

#include <QApplication>
#include <QDate>
#include <QLocale>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

using namespace ui::id;

namespace {

// The running program's content side, driven through its real windows
// against the sample site served in this process.
class RunningProgram : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(apptest::CreateProgramWindows());
        settingsDir = std::make_unique<QTemporaryDir>();
        runtime::SettingsPath = settingsDir->filePath("settings.ini");
        runtime::PictureTempPath = settingsDir->filePath("Zorvane_POTD");
        runtime::SetEventThread();
        site = std::make_unique<samplesite::Server>();
        ASSERT_TRUE(site->Start(0, 7));
    }

    static void TearDownTestSuite()
    {
        WaitForPicture();
        site.reset();
        settingsDir.reset();
    }

    void SetUp() override
    {
        UseSite(site->BaseUrl());
        settings::AppSettings& s = settings::Settings;
        s.Platform = "All";
        s.Alert_Names.clear();
        s.Alert_Popup = 0;
        s.Refresh_Rate = 0;
        s.Refresh_Picture = 0;
        ui::SetText(FilterBox, QString());
        app::LastFilterText.clear();
        runtime::GuiReady = 1;
    }

    static void UseSite(const QString& url) { qputenv("ZORVANE_SITE_URL", url.toUtf8()); }

    /// Lets a running picture worker finish (its calls need the pump).
    static void WaitForPicture()
    {
        const int64_t giveUp = runtime::ElapsedMs() + 20000;
        while (app::PictureWorkerBusy.load() == 1 && runtime::ElapsedMs() < giveUp)
            runtime::WaitEvent(1);
    }

    /// Which platforms a row's first column marks: one space, then per
    /// platform the mark or two spaces, each followed by three spaces.
    static QList<bool> MarkedPlatforms(const QString& cell)
    {
        QList<bool> marked;
        qsizetype pos = 1;
        for (int platform = 0; platform < 4 && pos < cell.size(); ++platform) {
            marked << (cell.at(pos) == QChar(0x25CF));
            pos += (marked.back() ? 1 : 2) + 3;
        }
        return marked;
    }

    static QString TodaysCaption() { return QLocale::c().toString(QDate::currentDate(), "ddd MMMM dd, yyyy") + " "; }

    static inline std::unique_ptr<samplesite::Server> site;
    static inline std::unique_ptr<QTemporaryDir> settingsDir;
};

} // namespace

TEST_F(RunningProgram, FetchingRefreshFillsEveryList)
{
    app::RefreshContent(true);

    EXPECT_GE(ui::RowCount(TodayList), 60);
    EXPECT_LE(ui::RowCount(TodayList), 150);
    EXPECT_GE(ui::RowCount(YesterdayList), 60);
    EXPECT_EQ(ui::TabCaption(ContentTabs, ui::tab::Today), TodaysCaption());
    EXPECT_TRUE(ui::CellText(TodayList, 0, 3).startsWith(site->BaseUrl() + "/"));
    EXPECT_TRUE(ui::CellText(TodayList, 0, 2).endsWith("."));

    ASSERT_GT(ui::RowCount(NewsList), 0);
    ASSERT_GT(ui::RowCount(ArticlesList), 0);
    EXPECT_EQ(" " + app::LatestHeadline, ui::CellText(NewsList, 0, 0));
    EXPECT_TRUE(ui::CellText(ArticlesList, 0, 1).startsWith("http"));
    // Every news row carries the icon its title asks for.
    for (const auto& [list, kind] :
         {std::pair{NewsList, content::ChannelList::News}, std::pair{ArticlesList, content::ChannelList::Articles}}) {
        for (int64_t row = 0; row < ui::RowCount(list); ++row) {
            const QString title = ui::CellText(list, row, 0).mid(1);
            const std::optional<ui::ImageId> image = ui::RowImage(list, row);
            ASSERT_TRUE(image.has_value()) << title.toStdString();
            const content::NewsIcon icon = content::ChannelIcon(kind, title);
            const bool exclamation =
                icon == content::NewsIcon::NewsExclamation || icon == content::NewsIcon::ArticleExclamation;
            EXPECT_EQ(*image == ui::ImageId::NewsExclamation || *image == ui::ImageId::ArticleExclamation, exclamation)
                << title.toStdString();
        }
    }
    EXPECT_FALSE(ui::RowImage(TodayList, 0).has_value()); // file rows carry no image

    EXPECT_EQ(ui::Tooltip(RefreshImage), "Refresh now (F5)");
    EXPECT_TRUE(ui::Text(ProductCaption).endsWith(" "));
    EXPECT_GT(ui::Text(ProductCaption).size(), 1);
    EXPECT_EQ(runtime::ContentRefreshBusy.load(), 0);
    EXPECT_FALSE(ui::IsVisible(RefreshingWindow));
    EXPECT_TRUE(ui::IsEnabled(MainWindow));
    EXPECT_EQ(ui::Text(StatusLine), " " + runtime::HintText);
}

TEST_F(RunningProgram, FilterAndPlatformRescanTheCachedPageWithoutFetching)
{
    app::RefreshContent(true);
    const int64_t all = ui::RowCount(TodayList);
    UseSite(testsupport::ClosedLocalSiteUrl()); // any fetch now would come back empty

    ui::SetText(FilterBox, "a");
    app::DispatchEvent(runtime::EvControl, MainWindow, FilterBox, ui::ControlChange, 0);
    const int64_t filtered = ui::RowCount(TodayList);
    EXPECT_GT(filtered, 0);
    EXPECT_LE(filtered, all);
    for (int64_t row = 0; row < filtered; ++row) {
        const QString text = (ui::CellText(TodayList, row, 1) + ui::CellText(TodayList, row, 2)).toLower();
        EXPECT_TRUE(text.contains("a")) << text.toStdString();
    }
    // The same text again changes nothing (the lists are not redisplayed).
    ui::AddRow(TodayList, "marker", ui::ImageId::TabNews);
    app::DispatchEvent(runtime::EvControl, MainWindow, FilterBox, ui::ControlFocus, 0);
    EXPECT_EQ(ui::RowCount(TodayList), filtered + 1);

    ui::SetText(FilterBox, QString());
    app::DispatchEvent(runtime::EvControl, MainWindow, FilterBox, ui::ControlChange, 0);
    EXPECT_EQ(ui::RowCount(TodayList), all);

    ui::SetState(PlatformCombo, 2);
    app::DispatchEvent(runtime::EvControl, MainWindow, PlatformCombo, ui::ControlSelection, 0);
    EXPECT_EQ(settings::Settings.Platform, "Linux");
    EXPECT_EQ(ui::Tooltip(PlatformCombo), "Showing files supported by Linux");
    const int64_t linux = ui::RowCount(TodayList);
    EXPECT_GT(linux, 0);
    EXPECT_LT(linux, all);
    for (int64_t row = 0; row < linux; ++row)
        EXPECT_TRUE(MarkedPlatforms(ui::CellText(TodayList, row, 0)).value(1)) << row; // the Linux cell
    EXPECT_EQ(ui::Text(StatusLine), QString(" Showing today's Linux files (%1).").arg(linux));
    ui::SetState(PlatformCombo, 0);
    app::DispatchEvent(runtime::EvControl, MainWindow, PlatformCombo, ui::ControlSelection, 0);
    EXPECT_GT(ui::RowCount(NewsList), 0); // re-scans leave the news alone
}

TEST_F(RunningProgram, AlertsColourTodaysRowsAndListEachNameOnce)
{
    app::RefreshContent(true);
    const QString name = ui::CellText(TodayList, 0, 1);
    const QString word = name.section(' ', 0, 0).toUpper(); // letter case does not matter
    settings::Settings.Alert_Names = word;
    settings::Settings.Alert_Highlight = 1;
    settings::Settings.Alert_Popup = 1;
    app::RefreshContent(false);

    EXPECT_EQ(ui::CellColour(TodayList, 0, 1), QColor(200, 0, 0));
    EXPECT_EQ(ui::CellColour(TodayList, 0, 2), QColor(200, 0, 0));
    EXPECT_FALSE(ui::CellColour(TodayList, 0, 0).isValid());
    EXPECT_TRUE(app::LastAlertLog().startsWith(name + "\n"));
    for (int64_t row = 0; row < ui::RowCount(YesterdayList); ++row)
        EXPECT_FALSE(ui::CellColour(YesterdayList, row, 1).isValid());

    // A scan without fetching never shows the pop-up; the end of a fetching
    // refresh shows it once.
    app::AlertPopupShown = false;
    const auto seen = apptest::AnswerNextBox();
    app::RefreshContent(true);
    EXPECT_EQ(seen->title, "Zorvane Update Alerts");
    EXPECT_TRUE(seen->text.startsWith("These files were updated today:\n\n" + name + "\n"));
    EXPECT_TRUE(seen->text.endsWith("\n\nYou can edit your alerts in Settings."));
    EXPECT_TRUE(app::AlertPopupShown);
}

TEST_F(RunningProgram, UnreachableSiteSaysSoAndWarns)
{
    UseSite(testsupport::ClosedLocalSiteUrl());
    const auto seen = apptest::AnswerNextBox();
    app::RefreshContent(true);
    EXPECT_EQ(ui::RowCount(TodayList), 0);
    EXPECT_EQ(ui::RowCount(NewsList), 0);
    EXPECT_EQ(ui::Text(StatusLine), " " + runtime::NoContentText);
    EXPECT_EQ(ui::TabCaption(ContentTabs, ui::tab::Today), "Today ");
    EXPECT_EQ(ui::TabCaption(ContentTabs, ui::tab::Yesterday), "Yesterday ");
    EXPECT_EQ(ui::Text(ProductCaption), " ");
    EXPECT_EQ(seen->title, "Zorvane Updates and News");
    EXPECT_EQ(seen->text, runtime::NoContentText);
    EXPECT_TRUE(app::LatestHeadline.isEmpty());
}

TEST_F(RunningProgram, PictureWorkerShowsThePictureOrNoPicture)
{
    WaitForPicture();
    app::StartPictureWorker();
    WaitForPicture();
    ASSERT_EQ(app::PictureReady.load(), 1);
    EXPECT_EQ(ui::Picture(PictureImage).size(), QSize(239, 239)); // 249 x 0.96, framed square
    const QImage shown = ui::Picture(PictureImage).toImage();
    EXPECT_EQ(shown.pixelColor(0, 0), QColor(66, 67, 54));     // the frame, site colours
    EXPECT_EQ(shown.pixelColor(238, 119), QColor(66, 67, 54)); // on every side
    EXPECT_FALSE(app::PictureTitle().isEmpty());
    EXPECT_TRUE(app::PictureStoryUrl().startsWith(site->BaseUrl() + "/"));
    app::ApplyPictureTooltip();
    EXPECT_EQ(ui::Tooltip(PictureImage), app::PictureTitle());

    UseSite(testsupport::ClosedLocalSiteUrl());
    app::StartPictureWorker();
    WaitForPicture();
    EXPECT_EQ(app::PictureReady.load(), 0);
    EXPECT_EQ(ui::Picture(PictureImage).toImage(), ui::Image(ui::ImageId::NoPicture).toImage());
}

TEST_F(RunningProgram, EnterInTheEmptySearchBoxWarns)
{
    ui::SetText(SearchBox, QString());
    ui::ShowWindow(MainWindow);
    ui::Widget(MainWindow)->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(ui::Widget(MainWindow)));
    ui::SetFocus(SearchBox);
    ASSERT_EQ(ui::FocusedControl(), SearchBox);
    const auto seen = apptest::AnswerNextBox();
    app::DispatchEvent(runtime::EvKeyDown, MainWindow, 0, -1, ui::VkEnter);
    EXPECT_EQ(seen->title, "Oops!");
    EXPECT_EQ(seen->text, "You need to enter some search text in the box.");
}

TEST(ShowPicture, OnlyTheSitesFormatsToldByTheirContent)
{
    ASSERT_TRUE(apptest::CreateProgramWindows());
    QTemporaryDir dir;
    runtime::PictureTempPath = dir.filePath("Zorvane_POTD");
    QImage png(40, 30, QImage::Format_RGB32);
    png.fill(Qt::blue);
    const QByteArray pngBytes = apptest::PngBytes(png);
    ASSERT_FALSE(pngBytes.isEmpty());
    const QImage noPicture = ui::Image(ui::ImageId::NoPicture).toImage();
    const struct
    {
        const char* what;
        QByteArray bytes;
        bool shown;
    } rows[] = {
        {"PNG", pngBytes, true},
        {"SVG is not a picture format of the site",
         "<svg xmlns='http://www.w3.org/2000/svg' width='40' height='30'><rect width='40' height='30'/></svg>", false},
        {"text", "not a picture", false},
    };
    for (const auto& r : rows) {
        testsupport::WriteBytes(runtime::PictureTempPath, r.bytes);
        app::ShowPicture();
        EXPECT_EQ(ui::Picture(PictureImage).toImage() != noPicture, r.shown) << r.what;
    }
}

TEST_F(RunningProgram, RefreshesBackToBackBlinkTheTrayWithOneBlinker)
{
    UseSite(testsupport::ClosedLocalSiteUrl()); // quick: every fetch is refused at once
    const auto first = apptest::AnswerNextBox();
    app::RefreshContent(true);
    // The second starts while the first one's blinker still waits out its
    // last half second.
    const auto second = apptest::AnswerNextBox();
    app::RefreshContent(true);
    EXPECT_EQ(app::TrayBlinkersRunning(), 1);
    const int64_t giveUp = runtime::ElapsedMs() + 10000;
    while (app::TrayBlinkersRunning() > 0 && runtime::ElapsedMs() < giveUp)
        runtime::WaitEvent(1);
    EXPECT_EQ(app::TrayBlinkersRunning(), 0);
}

TEST_F(RunningProgram, TheLoopRefreshesOnceTheAutomaticRefreshIsDue)
{
    ui::ClearRows(TodayList);
    settings::Settings.Refresh_Rate = 5;
    runtime::NextRefreshTime = runtime::ElapsedMs() + 60000;
    runtime::WakeEventThread(); // the pass would otherwise sleep until the deadline
    app::RunEventLoopPass();
    EXPECT_EQ(ui::RowCount(TodayList), 0); // not due yet: nothing fetched

    runtime::NextRefreshTime = runtime::ElapsedMs() - 1;
    app::RunEventLoopPass();
    EXPECT_GE(ui::RowCount(TodayList), 60);
    EXPECT_GT(runtime::NextRefreshTime.load(), runtime::ElapsedMs() + 4 * 60000); // the next one planned
    EXPECT_TRUE(ui::Tooltip(RefreshImage).startsWith("Refresh now (F5); or next auto-refresh at "));
}
