// What a check costs once the package manager has answered: the parse of a
// 5,000-application table into sorted lines and rows, and the same followed
// by the fill of the real installed-apps list (offscreen), as a check or a
// filter keystroke on the Installed Apps tab does it.
#include "app/shell_state.h"
#include "app/installed_apps.h"
#include "app/main_window.h"
#include "runtime/display_metrics.h"
#include "settings/app_settings.h"
#include "ui/control_numbers.h"
#include "ui/controls.h"
#include "ui/list_control.h"
#include "updater/apps_table.h"
#include "updater/apps_table_writer.h"

#include <QApplication>
#include <QString>

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

constexpr int Applications = 5000;

/// A list run's output in the package manager's layout; every third
/// application has a newer version.
QString TableOutput()
{
    uint64_t state = 42;
    const auto next = [&state] {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>(state >> 33);
    };
    QList<updater::TableApp> apps;
    apps.reserve(Applications);
    for (int i = 0; i < Applications; ++i) {
        const QString version = QStringLiteral("%1.%2.%3").arg(next() % 30).arg(next() % 10).arg(next() % 100);
        const QString available = i % 3 == 0 ? QStringLiteral("99.0") : (i % 3 == 1 ? version : QString());
        apps.append({QStringLiteral("Application %1 \u00e9dition").arg(next()), QStringLiteral("Vendor.App%1").arg(i),
                     version, available, QStringLiteral("user")});
    }
    // The lines as the program collects them from the tool: joined by CR LF.
    return updater::WriteAppsTable(apps, updater::ClosingLine::Omitted)
        .trimmed()
        .replace(u'\n', QStringLiteral("\r\n"));
}

const QString& Output()
{
    static const QString output = TableOutput();
    return output;
}

void BM_ParseTable(benchmark::State& state)
{
    qsizetype rows = 0;
    for (auto _ : state) {
        const updater::AppsFill fill = updater::FillApps(updater::TakeAppLines(Output()), QString());
        rows = fill.rows.size();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = static_cast<double>(rows);
}

void BM_ParseAndFillList(benchmark::State& state)
{
    for (auto _ : state) {
        app::AppLines = updater::TakeAppLines(Output());
        app::RefreshInstalledApps(false);
    }
    state.counters["rows"] = static_cast<double>(ui::RowCount(ui::id::AppsList));
}

} // namespace

BENCHMARK(BM_ParseTable)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseAndFillList)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    runtime::Display = runtime::DisplayMetrics{};
    settings::Settings = settings::DefaultSettings(runtime::Display);
    if (!app::CreateMainWindow() || !app::CreateMainWindowControls())
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
