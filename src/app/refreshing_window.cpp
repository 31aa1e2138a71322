#include "app/refreshing_window.h"

#include "runtime/display_metrics.h"
#include "settings/app_settings.h"
#include "ui/control_numbers.h"
#include "ui/controls.h"

#include <cmath>

namespace app {

void ShowRefreshingWindow(const QString& text, std::optional<ui::ImageId> icon)
{
    using namespace ui::id;
    if (text.isEmpty()) {
        ui::HideWindow(RefreshingWindow);
        ui::SetEnabled(MainWindow, true);
        return;
    }
    if (!ui::IsVisible(MainWindow) || ui::IsMinimized(MainWindow))
        return; // a refresh from the tray shows no window
    ui::SetImage(RefreshingIcon, icon.value_or(ui::ImageId::RefreshWindowIcon));
    ui::SetText(RefreshingText, text);
    const settings::AppSettings& s = settings::Settings;
    const double scale = runtime::Display.uiScale;
    const int x = static_cast<int>(std::nearbyint(s.App_X + (s.App_W - 450 * scale) * 0.5));
    const int y = static_cast<int>(std::nearbyint(s.App_Y + (s.App_H - 100 * scale) * 0.5));
    ui::Move(RefreshingWindow, x, y);
    ui::ShowWindow(RefreshingWindow);
    ui::Raise(RefreshingWindow);
    ui::SetEnabled(MainWindow, false);
}

} // namespace app
