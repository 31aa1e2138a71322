#include "app/event_loop.h"
#include "app/main_window.h"
#include "app/picture_of_the_day.h"
#include "app/settings_window.h"
#include "app/shell_state.h"
#include "app/tray.h"
#include "app/tray_menu.h"
#include "app/window_layout.h"
#include "opened_addresses.h"
#include "window_fixture.h"

#include "support/qstring_print.h"

#include "runtime/event_queue.h"
#include "runtime/app_identity.h"
#include "runtime/app_paths.h"
#include "runtime/process_state.h"
#include "settings/app_settings.h"
#include "ui/control_numbers.h"
#include "ui/controls.h"
#include "ui/input_events.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

using namespace ui::id;

namespace {

/// Hands every pending event to the dispatch, as the main loop does.
void DispatchPending()
{
    for (int pass = 0; pass < 5; ++pass) {
        for (int32_t kind; (kind = runtime::WaitEvent(0)) != 0;)
            app::DispatchEvent(kind, runtime::EventWindow(), runtime::EventObject(), runtime::EventType(),
                               runtime::EventParam());
    }
}

/// Shows a window of ours and makes it the active one, so focus changes and
/// keys reach its controls.
void Activate(int64_t window)
{
    ui::ShowWindow(window);
    ui::Widget(window)->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(ui::Widget(window)));
}

} // namespace

TEST(Buttons, ActOncePerClickAndNeverOnGettingTheFocus)
{
    ASSERT_TRUE(apptest::CreateProgramWindows());
    runtime::SetEventThread();
    runtime::GuiReady = 1;
    apptest::OpenedAddresses opened;
    ui::SetText(SearchBox, QStringLiteral("kelvara"));
    ui::SetState(ContentTabs, ui::tab::InstalledApps); // where the store button is

    const struct
    {
        const char* name;
        int64_t button;
        const char* opens; // part of the address one click opens
    } rows[] = {
        {"search button", SearchButton, "/content/page/zv_search.html?"},
        {"apps check button without the updater", AppsCheckButton, "https://"},
    };
    for (const auto& r : rows) {
        Activate(MainWindow);
        ui::SetFocus(FilterBox);
        DispatchPending();
        opened.addresses.clear();

        // Tabbing onto the button starts nothing.
        ui::Widget(r.button)->setFocus(Qt::TabFocusReason);
        ASSERT_EQ(ui::FocusedControl(), r.button) << r.name;
        DispatchPending();
        EXPECT_TRUE(opened.addresses.isEmpty()) << r.name << ": " << opened.addresses.join(' ').toStdString();

        // One click, one page, also when the click gives it the focus.
        ui::SetFocus(FilterBox);
        DispatchPending();
        QTest::mouseClick(ui::Widget(r.button), Qt::LeftButton);
        DispatchPending();
        ASSERT_EQ(opened.addresses.size(), 1) << r.name << ": " << opened.addresses.join(' ').toStdString();
        EXPECT_TRUE(opened.addresses.front().contains(QLatin1StringView(r.opens))) << r.name;
    }

    // Tabbing onto the platform box re-scans nothing and leaves the status line.
    ui::SetFocus(FilterBox);
    DispatchPending();
    ui::SetText(StatusLine, QStringLiteral(" unchanged"));
    ui::Widget(PlatformCombo)->setFocus(Qt::TabFocusReason);
    DispatchPending();
    EXPECT_EQ(ui::Text(StatusLine), " unchanged");

    // The settings window's Close button closes only when pressed.
    app::OpenSettingsWindow();
    Activate(SettingsWindow);
    ui::Widget(SettingsClose)->setFocus(Qt::TabFocusReason);
    DispatchPending();
    EXPECT_EQ(runtime::SettingsOpen.load(), 1);
    QTest::mouseClick(ui::Widget(SettingsClose), Qt::LeftButton);
    DispatchPending();
    EXPECT_EQ(runtime::SettingsOpen.load(), 0);
}

TEST(PlatformBox, ShowsTheStoredPlatformAndCanGoBackToAll)
{
    ASSERT_TRUE(apptest::CreateProgramWindows());
    runtime::SetEventThread();
    runtime::GuiReady = 1;
    QTemporaryDir dir;
    runtime::SettingsPath = dir.filePath("settings.ini");

    const struct
    {
        const char* stored;
        int64_t item;
        const char* tooltip;
    } rows[] = {
        {"All", 0, "Showing files supported by all platforms"}, {"Windows", 1, "Showing files supported by Windows"},
        {"Linux", 2, "Showing files supported by Linux"},       {"MacOS", 3, "Showing files supported by MacOS"},
        {"Android", 4, "Showing files supported by Android"},
    };
    for (const auto& r : rows) {
        settings::Settings.Platform = QString::fromLatin1(r.stored);
        app::SetSettingsControls(); // as start-up does once the settings are loaded
        EXPECT_EQ(ui::State(PlatformCombo), r.item) << r.stored;
        EXPECT_EQ(ui::Tooltip(PlatformCombo), r.tooltip) << r.stored;
    }

    // Started with Linux stored, the user picks "all platforms" again.
    settings::Settings.Platform = QStringLiteral("Linux");
    app::SetSettingsControls();
    qobject_cast<QComboBox*>(ui::Widget(PlatformCombo))->setCurrentIndex(0);
    DispatchPending();
    EXPECT_EQ(settings::Settings.Platform, "All");
    EXPECT_EQ(ui::Tooltip(PlatformCombo), "Showing files supported by all platforms");
}

TEST(ShowMainWindow, BringsTheWindowBackInItsPreviousSizeAndState)
{
    ASSERT_TRUE(apptest::CreateProgramWindows());
    const struct
    {
        const char* name;
        bool maximised;
        bool minimise; // else hidden, as close-to-tray does
    } rows[] = {
        {"minimised from normal", false, true},
        {"minimised from maximised", true, true},
        {"hidden while normal", false, false},
        {"hidden while maximised", true, false},
    };
    const QRect normal(120, 90, 800, 600);
    for (const auto& r : rows) {
        ui::ShowNormal(MainWindow);
        ui::SetGeometry(MainWindow, normal);
        if (r.maximised)
            ui::ShowMaximized(MainWindow);
        if (r.minimise)
            ui::Widget(MainWindow)->showMinimized();
        else
            ui::HideWindow(MainWindow);

        app::ShowMainWindow();
        EXPECT_TRUE(ui::IsVisible(MainWindow)) << r.name;
        EXPECT_FALSE(ui::IsMinimized(MainWindow)) << r.name;
        EXPECT_EQ(ui::IsMaximized(MainWindow), r.maximised) << r.name;
        if (!r.maximised) {
            EXPECT_EQ(ui::Geometry(MainWindow).size(), normal.size()) << r.name;
        }
    }
}

TEST(Keys, F12MaximisesAndRestoresTheMainWindowWhenItIsInFront)
{
    ASSERT_TRUE(apptest::CreateProgramWindows());
    ui::ShowNormal(MainWindow);
    QApplication::setActiveWindow(ui::Widget(MainWindow));
    app::DispatchEvent(runtime::EvKeyDown, MainWindow, 0, -1, ui::VkF12);
    EXPECT_TRUE(ui::IsMaximized(MainWindow));
    app::DispatchEvent(runtime::EvKeyDown, MainWindow, 0, -1, ui::VkF12);
    EXPECT_FALSE(ui::IsMaximized(MainWindow));

    app::OpenSettingsWindow();
    QApplication::setActiveWindow(ui::Widget(SettingsWindow));
    app::DispatchEvent(runtime::EvKeyDown, SettingsWindow, 0, -1, ui::VkF12);
    EXPECT_FALSE(ui::IsMaximized(MainWindow)); // another window in front: nothing
    app::CloseSettingsWindow();
}

TEST(MouseCursor, OverThePictureFollowsItsState)
{
    ASSERT_TRUE(apptest::CreateProgramWindows());
    ui::ShowNormal(MainWindow);
    ui::Resize(MainWindow, 1152, 672);
    app::LayoutMainWindow(true);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(ui::Widget(MainWindow)));
    QWidget* picture = ui::Widget(PictureImage);
    QCursor::setPos(picture->mapToGlobal(picture->rect().center()));
    ASSERT_EQ(ui::ControlUnderMouse(), PictureImage);

    const auto shown = [] {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        return cursor != nullptr ? cursor->shape() : Qt::ArrowCursor;
    };
    const struct
    {
        const char* name;
        int64_t busy;
        int64_t ready;
        Qt::CursorShape cursor;
    } rows[] = {
        {"loading", 1, 0, Qt::WaitCursor},
        {"ready to open its story", 0, 1, Qt::PointingHandCursor},
        {"no picture", 0, 0, Qt::ArrowCursor},
    };
    for (const auto& r : rows) {
        app::PictureWorkerBusy = r.busy;
        app::PictureReady = r.ready;
        app::DispatchEvent(runtime::EvMouseMove, 0, 0, -1, 0);
        EXPECT_EQ(shown(), r.cursor) << r.name;
    }
    // While a refresh runs it shows its own cursor, and moves change nothing.
    app::PictureReady = 1;
    runtime::ContentRefreshBusy = 1;
    app::DispatchEvent(runtime::EvMouseMove, 0, 0, -1, 0);
    EXPECT_EQ(shown(), Qt::ArrowCursor);
    runtime::ContentRefreshBusy = 0;
    app::PictureReady = 0;
}

TEST(TrayMenu, ShowsItsItemsAndTheChoiceArrivesAsAMenuEvent)
{
    ASSERT_TRUE(apptest::CreateProgramWindows());
    runtime::SetEventThread();
    runtime::GuiReady = 1;
    ASSERT_TRUE(app::CreateTray());
    apptest::OpenedAddresses opened;
    const QStringList captions{"&Show window",
                               "Refresh &content",
                               "Refresh my &apps",
                               "",
                               "-- Zorvane Social --",
                               "&Facebook",
                               "&X (Twitter)",
                               "&YouTube",
                               "",
                               "-- Extras --",
                               "Go to &Zorvane.com",
                               "Go to Top &Downloads",
                               "Go to &News",
                               "Go to &Off Base",
                               "Go to &Way Off Base",
                               "",
                               "&Quit"};
    for (const int64_t updater : {0, 1}) {
        runtime::UpdaterAvailable = updater;
        QStringList seen;
        QStringList disabled;
        QTimer::singleShot(50, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            QAction* topDownloads = nullptr;
            for (QAction* action : menu->actions()) {
                seen << action->text();
                if (!action->isSeparator() && !action->isEnabled())
                    disabled << action->text();
                if (action->text() == "Go to Top &Downloads")
                    topDownloads = action;
            }
            ASSERT_NE(topDownloads, nullptr);
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(topDownloads).center());
        });
        opened.addresses.clear();
        app::ShowTrayMenu(QPoint(300, 300));
        EXPECT_EQ(seen, captions);
        const QStringList headings{"-- Zorvane Social --", "-- Extras --"};
        EXPECT_EQ(disabled, updater == 1 ? headings : QStringList{"Refresh my &apps"} + headings);
        DispatchPending();
        EXPECT_EQ(opened.addresses, QStringList{runtime::SiteBaseUrl() + "/zv/topdownloads/index.html"});
    }
    runtime::UpdaterAvailable = 0;

    ui::HideWindow(MainWindow);
    app::DispatchEvent(runtime::EvMenu, MainWindow, app::menu::ShowWindow, 0, 0);
    EXPECT_TRUE(ui::IsVisible(MainWindow));
}

TEST(ContentTabs, SwitchToInstalledAppsArrivesWithTheFocusInAFileList)
{
    ASSERT_TRUE(apptest::CreateProgramWindows());
    runtime::SetEventThread();
    runtime::GuiReady = 1;
    auto* tabs = qobject_cast<QTabWidget*>(ui::Widget(ContentTabs));
    ASSERT_NE(tabs, nullptr);
    const struct
    {
        const char* how;
        std::function<void()> switchTabs;
    } rows[] = {
        {"a click on the tab", [tabs] { tabs->setCurrentIndex(ui::tab::InstalledApps); }},
        {"Ctrl+Tab twice",
         [] {
             QTest::keyClick(ui::Widget(TodayList), Qt::Key_Tab, Qt::ControlModifier);
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
         }},
    };
    for (const auto& r : rows) {
        Activate(MainWindow);
        tabs->setCurrentIndex(ui::tab::Today); // as the user left it
        DispatchPending();
        ui::Widget(TodayList)->setFocus(Qt::MouseFocusReason);
        DispatchPending();
        ASSERT_EQ(app::CurrentTab, ui::tab::Today) << r.how;

        r.switchTabs();
        ASSERT_EQ(ui::State(ContentTabs), ui::tab::InstalledApps) << r.how;
        DispatchPending();
        EXPECT_EQ(app::CurrentTab, ui::tab::InstalledApps) << r.how;
        EXPECT_TRUE(app::FilterAppliesToApps) << r.how;
        EXPECT_FALSE(ui::IsVisible(PlatformCombo)) << r.how;
    }
}

TEST(SettingsWindow, TwoQuickClicksOnABoxLeaveTheSettingAsTheBoxShowsIt)
{
    ASSERT_TRUE(apptest::CreateProgramWindows());
    runtime::SetEventThread();
    QTemporaryDir dir;
    runtime::SettingsPath = dir.filePath("settings.ini");
    app::OpenSettingsWindow();
    Activate(SettingsWindow);
    DispatchPending();
    // Both clicks land before the loop looks: the second event repeats the
    // first exactly and is folded into it.
    QTest::mouseClick(ui::Widget(SettingsCloseToTray), Qt::LeftButton);
    QTest::mouseClick(ui::Widget(SettingsCloseToTray), Qt::LeftButton);
    DispatchPending();
    EXPECT_EQ(settings::Settings.App_Close_To_Tray, ui::State(SettingsCloseToTray));
    app::CloseSettingsWindow();
}

TEST(ImageButtons, TabReachesEachAndEnterOrSpacePressesIt)
{
    ASSERT_TRUE(apptest::CreateProgramWindows());
    runtime::SetEventThread();
    runtime::GuiReady = 1;
    apptest::OpenedAddresses opened;
    const int64_t bound[] = {MainWindow, SettingsWindow}; // Enter goes to the loop, as at start-up
    ui::InstallInputFilter(bound, 2);
    Activate(MainWindow);
    ui::SetFocus(TodayList);
    DispatchPending();

    // Tab goes round the window once and stops at every image that acts.
    QList<int64_t> reached;
    for (int step = 0; step < 60; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached << ui::FocusedControl();
    }
    for (const int64_t image : {VisitSiteImage, DonateImage, SettingsImage, RefreshImage, PictureImage})
        EXPECT_TRUE(reached.contains(image)) << ui::ControlName(image) << " never has the focus";
    EXPECT_FALSE(reached.contains(WinkImage)) << "decoration takes no focus";
    DispatchPending();

    // Space on the donate image opens its page once.
    opened.addresses.clear();
    ui::Widget(DonateImage)->setFocus(Qt::TabFocusReason);
    DispatchPending();
    EXPECT_TRUE(opened.addresses.isEmpty()) << "getting the focus opens nothing";
    QTest::keyClick(ui::Widget(DonateImage), Qt::Key_Space);
    DispatchPending();
    EXPECT_EQ(opened.addresses.size(), 1);

    // Enter on the settings image opens the settings window.
    ui::Widget(SettingsImage)->setFocus(Qt::TabFocusReason);
    DispatchPending();
    EXPECT_EQ(runtime::SettingsOpen.load(), 0) << "getting the focus opens nothing";
    QTest::keyClick(ui::Widget(SettingsImage), Qt::Key_Return);
    DispatchPending();
    EXPECT_EQ(runtime::SettingsOpen.load(), 1);
    app::CloseSettingsWindow();
    DispatchPending();
}
