#include "window_fixture.h"

#include "app/main_window.h"
#include "app/settings_window.h"
#include "runtime/display_metrics.h"
#include "settings/app_settings.h"

namespace apptest {

bool CreateProgramWindows()
{
    static const bool created = [] {
        runtime::Display = runtime::DisplayMetrics{};
        settings::Settings = settings::DefaultSettings(runtime::Display);
        return app::CreateMainWindow() && app::CreateRefreshingWindow() && app::CreateSettingsWindow() &&
               app::CreateMainWindowControls();
    }();
    return created;
}

} // namespace apptest
