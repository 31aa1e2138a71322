#include "app/event_loop.h"
#include "app/main_window.h"
#include "app/settings_window.h"
#include "runtime/clock.h"
#include "window_fixture.h"

#include "runtime/event_queue.h"
#include "runtime/process_state.h"
#include "runtime/single_instance.h"
#include "settings/app_settings.h"
#include "ui/control_numbers.h"
#include "ui/controls.h"
#include "ui/input_events.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

using namespace ui::id;

namespace {

/// Pumps until `done` holds or `ms` have passed.
template <typename F> bool PumpUntil(F done, int64_t ms)
{
    const int64_t giveUp = runtime::ElapsedMs() + ms;
    while (!done() && runtime::ElapsedMs() < giveUp)
        runtime::WaitEvent(1);
    return done();
}

} // namespace

TEST(Activation, ASecondCopyBringsTheHiddenWindowBack)
{
    ASSERT_TRUE(apptest::CreateProgramWindows());
    QTemporaryDir runtimeDir;
    qputenv("XDG_RUNTIME_DIR", runtimeDir.path().toUtf8());
    const QString name = QStringLiteral("Activation Test Instance");
    ASSERT_TRUE(runtime::ClaimSingleInstance(name, {}, [](const QString&) { app::ShowMainWindow(); }));
    runtime::GuiReady = 1;
    ui::HideWindow(MainWindow);
    ASSERT_FALSE(ui::IsVisible(MainWindow));

    QProcess second;
    second.start(INSTANCE_PROBE_PATH, {"ready", "1000", name});
    ASSERT_TRUE(second.waitForStarted(5000));
    // The first copy answers while it pumps its events, as the main loop does.
    EXPECT_TRUE(PumpUntil([] { return ui::IsVisible(MainWindow); }, 5000));
    ASSERT_TRUE(second.waitForFinished(5000));
    EXPECT_EQ(second.readAllStandardOutput().trimmed(), "second");
    EXPECT_EQ(second.exitCode(), 0);
    runtime::ReleaseSingleInstance();
}

TEST(Keys, EscapeAndEnterCloseTheSettingsWindow)
{
    ASSERT_TRUE(apptest::CreateProgramWindows());
    runtime::GuiReady = 1;
    ui::ShowWindow(MainWindow);
    settings::Settings.Refresh_Rate = 0;

    app::OpenSettingsWindow();
    EXPECT_EQ(runtime::SettingsOpen.load(), 1);
    EXPECT_FALSE(ui::IsEnabled(MainWindow));
    EXPECT_EQ(ui::Text(SettingsRefreshRate), "0");
    EXPECT_TRUE(ui::IsEnabled(SettingsRefreshRate)); // the settings window stays usable
    QWidget* settingsWindow = ui::Widget(SettingsWindow);
    settingsWindow->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(settingsWindow));
    app::DispatchEvent(runtime::EvKeyDown, SettingsWindow, 0, -1, ui::VkEscape);
    EXPECT_EQ(runtime::SettingsOpen.load(), 0);
    EXPECT_FALSE(ui::IsVisible(SettingsWindow));
    EXPECT_TRUE(ui::IsEnabled(MainWindow));

    ASSERT_TRUE(QTest::qWaitForWindowActive(ui::Widget(MainWindow))); // closing brought it to the front

    // Enter in either edit box closes it too; elsewhere in it Enter does not.
    for (const int64_t box : {SettingsRefreshRate, SettingsAlertNames}) {
        app::OpenSettingsWindow();
        QApplication::setActiveWindow(settingsWindow);
        ui::SetFocus(SettingsVersionShown);
        EXPECT_EQ(ui::FocusedControl(), SettingsVersionShown);
        app::DispatchEvent(runtime::EvKeyDown, SettingsWindow, 0, -1, ui::VkEnter);
        EXPECT_EQ(runtime::SettingsOpen.load(), 1) << ui::ControlName(box);
        ui::SetFocus(box);
        EXPECT_EQ(ui::FocusedControl(), box);
        app::DispatchEvent(runtime::EvKeyDown, SettingsWindow, 0, -1, ui::VkEnter);
        EXPECT_EQ(runtime::SettingsOpen.load(), 0) << ui::ControlName(box);
        EXPECT_FALSE(ui::IsVisible(SettingsWindow)) << ui::ControlName(box);
    }

    // Closing takes the refresh rate from its box and plans the next automatic
    // refresh; closing again without a change does not plan it anew.
    app::OpenSettingsWindow();
    ui::SetText(SettingsRefreshRate, "15");
    app::CloseSettingsWindow();
    EXPECT_EQ(settings::Settings.Refresh_Rate, 15);
    EXPECT_TRUE(ui::Tooltip(RefreshImage).startsWith("Refresh now (F5); or next auto-refresh at "));
    const int64_t planned = runtime::NextRefreshTime.load();
    EXPECT_GT(planned, runtime::ElapsedMs());
    QTest::qWait(5);
    app::OpenSettingsWindow();
    app::CloseSettingsWindow();
    EXPECT_EQ(runtime::NextRefreshTime.load(), planned);
    app::OpenSettingsWindow();
    ui::SetText(SettingsRefreshRate, "");
    app::CloseSettingsWindow();
    EXPECT_EQ(settings::Settings.Refresh_Rate, 0); // an empty box turns automatic refresh off
    EXPECT_EQ(ui::Tooltip(RefreshImage), "Refresh now (F5)");

    // Escape while the main window is in front closes nothing.
    ui::Widget(MainWindow)->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(ui::Widget(MainWindow)));
    app::DispatchEvent(runtime::EvKeyDown, MainWindow, 0, -1, ui::VkEscape);
    EXPECT_TRUE(ui::IsVisible(MainWindow));
    EXPECT_TRUE(ui::IsEnabled(MainWindow));
}
