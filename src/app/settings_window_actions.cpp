#include "app/settings_window_actions.h"

#include "app/content_refresh.h"
#include "app/content_state.h"
#include "runtime/display_metrics.h"
#include "runtime/event_queue.h"
#include "runtime/process_state.h"
#include "runtime/text_to_int.h"
#include "settings/app_settings.h"
#include "settings/settings_file.h"
#include "ui/control_numbers.h"
#include "ui/controls.h"
#include "ui/input_events.h"

namespace app {

namespace {

int64_t rateAtLastClose = -1;

} // namespace

void OpenSettingsWindow()
{
    using namespace ui::no;
    ui::SetEnabled(MainWindow, false);
    QRect reference;
    if (ui::IsMaximized(MainWindow)) {
        reference = QRect(0, 0, runtime::Display.screenWidth, runtime::Display.screenHeight);
    } else {
        const QRect outer = ui::OuterGeometry(MainWindow);
        const QRect inner = ui::Geometry(MainWindow);
        reference = QRect(outer.x(), outer.y(), inner.width(), inner.height());
    }
    const QRect settings = ui::Geometry(SettingsWindow);
    ui::Move(SettingsWindow, reference.x() + (reference.width() - settings.width()) / 2,
             reference.y() + (reference.height() - settings.height()) / 2);
    const settings::AppSettings& s = settings::Settings;
    ui::SetText(SettingsRefreshRate, QString::number(s.Refresh_Rate));
    ui::SetText(SettingsAlertNames, s.Alert_Names);
    ui::SetFont(SettingsAlertNames, s.Alert_Names.isEmpty() ? ui::FontKind::Italic : ui::FontKind::Normal);
    ui::ShowWindow(SettingsWindow);
    ui::BringToFront(SettingsWindow);
    runtime::SettingsOpen = 1;
}

void CloseSettingsWindow()
{
    using namespace ui::no;
    ui::HideWindow(SettingsWindow);
    ui::SetEnabled(MainWindow, true);
    settings::Settings.Refresh_Rate = runtime::TextToInt(ui::Text(SettingsRefreshRate));
    if (settings::Settings.Refresh_Rate != rateAtLastClose) {
        rateAtLastClose = settings::Settings.Refresh_Rate;
        UpdateRefreshTooltip();
    }
    settings::SaveSettings();
    if (LastUsedControl >= 25 && ui::Widget(LastUsedControl) != nullptr)
        ui::SetFocus(LastUsedControl);
    ui::BringToFront(MainWindow);
    runtime::SettingsOpen = 0;
    // The Enter that closed the window must not act again in the main window.
    ui::WaitWhileHeld({ui::VkEnter}, ui::KeyReleaseWaitMs);
    runtime::DrainEvents();
}

} // namespace app
