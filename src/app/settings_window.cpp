#include "app/settings_window.h"

#include "app/desktop_texts.h"
#include "app/colour_scheme.h"
#include "app/day_lists.h"
#include "app/refresh_schedule.h"
#include "app/shell_state.h"
#include "app/startup_shortcut.h"
#include "app/window_layout.h"
#include "content/list_status.h"
#include "runtime/display_metrics.h"
#include "runtime/event_queue.h"
#include "runtime/process_state.h"
#include "runtime/text_positions.h"
#include "runtime/text_to_int.h"
#include "settings/app_settings.h"
#include "settings/settings_file.h"
#include "ui/control_numbers.h"
#include "ui/controls.h"
#include "ui/input_events.h"

#include <cmath>

namespace app {

namespace {

using namespace ui::id;

struct Row
{
    int64_t number;
    ui::ControlKind kind;
    int x;
    int step; // added to the previous row's y (design units)
    int width;
    int height;
    const char* text;
};

// In creation order. The refresh-rate box shares the row of its label, two
// pixels higher; the unit label too.
constexpr Row Rows[] = {
    {SettingsColours, ui::ControlKind::CheckBox, 15, 0, 455, 20, OnLinuxUtf8(DesktopText::ColourSchemeBox)},
    {SettingsRunAtStartup, ui::ControlKind::CheckBox, 15, 25, 450, 20, OnLinuxUtf8(DesktopText::RunAtStartupBox)},
    {SettingsRunMinimized, ui::ControlKind::CheckBox, 15, 25, 410, 20,
     "Start with the application's window minimized to the system tray."},
    {SettingsCloseToTray, ui::ControlKind::CheckBox, 15, 25, 420, 20,
     "Minimize the application to the system tray when Close is clicked."},
    {SettingsRefreshPicture, ui::ControlKind::CheckBox, 15, 25, 440, 20,
     "When refreshing manually, always update the latest picture as well."},
    {SettingsRefreshLabel, ui::ControlKind::Label, 15, 25, 215, 20, "Automatically refresh content every"},
    {SettingsRefreshRate, ui::ControlKind::Edit, 235, 0, 45, 24, "0"},
    {SettingsRefreshUnit, ui::ControlKind::Label, 287, 0, 165, 20, "minutes (use 0 to disable)."},
    {SettingsAlertLabel, ui::ControlKind::Label, 15, 25, 430, 20,
     "Name alerts for when they appear as new for today (comma-separated):"},
    {SettingsAlertNames, ui::ControlKind::Edit, 15, 22, 461, 24, ""},
    {SettingsAlertHighlight, ui::ControlKind::CheckBox, 15, 30, 330, 20,
     "Highlight matching name alerts in red in today's list."},
    {SettingsAlertPopup, ui::ControlKind::CheckBox, 15, 25, 330, 20, "Show a pop-up message for matching name alerts."},
    {SettingsVersionShown, ui::ControlKind::CheckBox, 15, 25, 315, 20,
     "Show the version number next to each file name."},
    {SettingsClose, ui::ControlKind::PushButton, 210, 35, 70, 30, "Close"},
};

} // namespace

SettingsWindowLayout ComputeSettingsWindowLayout(double s)
{
    SettingsWindowLayout layout;
    int y = static_cast<int>(runtime::Scaled(12, s));
    for (const Row& row : Rows) {
        if (row.number != SettingsRefreshRate && row.number != SettingsRefreshUnit)
            y = static_cast<int>(std::nearbyint(y + row.step * s));
        const int rowY = row.number == SettingsRefreshRate ? y - 2 : y;
        layout.controls[static_cast<size_t>(row.number)] =
            QRect(static_cast<int>(runtime::Scaled(row.x, s)), rowY, static_cast<int>(runtime::Scaled(row.width, s)),
                  static_cast<int>(runtime::Scaled(row.height, s)));
    }
    layout.width = static_cast<int>(runtime::Scaled(490, s));
    layout.height = static_cast<int>(std::nearbyint(y + 50 * s));
    return layout;
}

bool CreateSettingsWindow()
{
    const SettingsWindowLayout layout = ComputeSettingsWindowLayout(runtime::Display.uiScale);
    if (!ui::CreateWindow(ui::id::SettingsWindow, QStringLiteral("Settings"), ui::WindowStyle::Dialog,
                          QRect(0, 0, layout.width, layout.height), ui::id::MainWindow))
        return false;
    ui::SetWindowIcon(ui::id::SettingsWindow, ui::ImageId::Settings);
    bool ok = true;
    for (const Row& row : Rows) {
        ok = ui::CreateControl(row.number, row.kind, ui::Parent{ui::id::SettingsWindow},
                               layout.controls[static_cast<size_t>(row.number)], QString::fromUtf8(row.text),
                               QString::fromUtf8(ui::SpokenName(row.number))) &&
             ok;
    }
    ui::SetDigitsOnly(ui::id::SettingsRefreshRate, 4);
    ui::SetCueText(ui::id::SettingsAlertNames, QStringLiteral("eg: kelvara,firefox,microsoft,etc"));
    ui::SetFont(ui::id::SettingsAlertNames, ui::FontKind::Italic);
    return ok;
}

void SetSettingsControls()
{
    const settings::AppSettings& s = settings::Settings;
    using namespace ui::id;
    ui::SetState(SettingsColours, s.Zorva_Colors);
    ui::SetState(SettingsRunAtStartup, s.App_Run_At_Startup);
    ui::SetState(SettingsRunMinimized, s.App_Run_Minimized);
    ui::SetState(SettingsCloseToTray, s.App_Close_To_Tray);
    ui::SetState(SettingsAlertHighlight, s.Alert_Highlight);
    ui::SetState(SettingsAlertPopup, s.Alert_Popup);
    ui::SetState(SettingsVersionShown, s.Version_Shown);
    ui::SetState(SettingsRefreshPicture, s.Refresh_Picture);
    // The platform box is the one main-window control that shows a setting:
    // a stored platform filters the lists, so the box must say so, and
    // picking "all platforms" must then be a change.
    ui::SetState(PlatformCombo, content::PlatformComboIndex(s.Platform));
    ui::SetTooltip(PlatformCombo, content::PlatformTooltip(s.Platform));
}

void OpenSettingsWindow()
{
    using namespace ui::id;
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
    using namespace ui::id;
    ui::HideWindow(SettingsWindow);
    ui::SetEnabled(MainWindow, true);
    settings::Settings.Refresh_Rate = runtime::TextToInt(ui::Text(SettingsRefreshRate));
    if (settings::Settings.Refresh_Rate != RateAtLastClose) {
        RateAtLastClose = settings::Settings.Refresh_Rate;
        UpdateRefreshTooltip();
    }
    settings::SaveSettings();
    if (LastUsedControl >= SearchBox && ui::Widget(LastUsedControl) != nullptr)
        ui::SetFocus(LastUsedControl);
    ui::BringToFront(MainWindow);
    runtime::SettingsOpen = 0;
    // The Enter that closed the window must not act again in the main window.
    ui::WaitWhileHeld({ui::VkEnter}, ui::KeyReleaseWaitMs);
    runtime::DrainEvents();
}

namespace {

/// The setting as check box `box` shows it after a click. Taken from the
/// box rather than flipped: two quick clicks can fold into one queued event,
/// and a flip would then leave the box and the saved setting disagreeing.
void TakeFromBox(int64_t& setting, int64_t box)
{
    setting = ui::State(box) == 1 ? 1 : 0;
}

void SwitchColourScheme()
{
    using namespace ui::id;
    ui::SuspendDrawing(MainWindow);
    ui::SuspendDrawing(SettingsWindow);
    TakeFromBox(settings::Settings.Zorva_Colors, SettingsColours);
    ApplyColourScheme(settings::Settings.Zorva_Colors);
    settings::SaveSettings();
    ui::ResumeDrawing(MainWindow);
    ui::ResumeDrawing(SettingsWindow);
}

void TakeAlertNames()
{
    using namespace ui::id;
    settings::AppSettings& s = settings::Settings;
    s.Alert_Names = runtime::TrimSpaces(ui::Text(SettingsAlertNames));
    ui::SetFont(SettingsAlertNames, s.Alert_Names.isEmpty() ? ui::FontKind::Italic : ui::FontKind::Normal);
}

} // namespace

void OnSettingsControl(int64_t control, int64_t type)
{
    using namespace ui::id;
    settings::AppSettings& s = settings::Settings;
    if (control == SettingsClose) {
        if (type == ui::ControlClick)
            CloseSettingsWindow();
        return;
    }
    if (control == SettingsRefreshRate || control == SettingsAlertNames) {
        if (type == ui::ControlFocus)
            ui::SelectAllText(control);
        if (control == SettingsAlertNames)
            TakeAlertNames(); // on every event, the focus one included; saved at close (the
                              // alert count follows from the names whenever it is needed)
        return;
    }
    // A check box acts on its click only: focus changes raise events too.
    if (type != ui::ControlClick)
        return;
    switch (control) {
    case SettingsColours:
        SwitchColourScheme();
        return;
    case SettingsRunAtStartup:
        TakeFromBox(s.App_Run_At_Startup, SettingsRunAtStartup);
        ApplyStartupShortcut();
        break;
    case SettingsRunMinimized:
        TakeFromBox(s.App_Run_Minimized, SettingsRunMinimized);
        break;
    case SettingsCloseToTray:
        TakeFromBox(s.App_Close_To_Tray, SettingsCloseToTray);
        break;
    case SettingsRefreshPicture:
        TakeFromBox(s.Refresh_Picture, SettingsRefreshPicture);
        break;
    case SettingsAlertHighlight:
        TakeFromBox(s.Alert_Highlight, SettingsAlertHighlight);
        break;
    case SettingsAlertPopup:
        TakeFromBox(s.Alert_Popup, SettingsAlertPopup);
        break;
    case SettingsVersionShown:
        TakeFromBox(s.Version_Shown, SettingsVersionShown);
        settings::SaveSettings();
        LayoutMainWindow(true); // the Name column's width follows the setting
        RescanDayLists();
        return;
    default:
        return;
    }
    settings::SaveSettings();
}

} // namespace app
