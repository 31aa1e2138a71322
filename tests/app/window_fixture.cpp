#include "window_fixture.h"

#include "app/main_window.h"
#include "runtime/display_metrics.h"
#include "settings/app_settings.h"
#include "settings/settings_window.h"

namespace apptest {

bool CreateProgramWindows()
{
    static const bool created = [] {
        runtime::Display = runtime::DisplayMetrics{};
        settings::Settings = settings::DefaultSettings(runtime::Display);
        return app::CreateMainWindow() && app::CreateRefreshingWindow() && settings::CreateSettingsWindow() &&
               app::CreateMainWindowControls();
    }();
    return created;
}

} // namespace apptest
