#include "window_fixture.h"

#include "app/main_window.h"
#include "app/settings_window.h"
#include "runtime/display_metrics.h"
#include "settings/app_settings.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <functional>

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

std::shared_ptr<BoxSeen> CloseNextBox()
{
    auto seen = std::make_shared<BoxSeen>();
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [seen, poll] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen->title = box->windowTitle();
            seen->text = box->text();
            box->done(QMessageBox::Ok);
            return;
        }
        QTimer::singleShot(10, *poll);
    };
    QTimer::singleShot(10, *poll);
    return seen;
}

} // namespace apptest
