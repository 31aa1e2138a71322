// What a check costs once the package manager has answered: the parse of a
// 5,000-application table into sorted lines and rows, and the same followed
// by the fill of the real installed-apps list (offscreen), as a check or a
// filter keystroke on the Installed Apps tab does it.
//
// And what a package manager that prints a lot costs, with the tests'
// stand-in as the tool (built with the tests): a 100,000-application list
// read through the real runner and parsed into rows, and a 100,000-line
// upgrade log shown live in the real tab. peak_rss_MB is the process's peak
// so far: run one benchmark per process (--benchmark_filter) to read it.
#include "app/shell_state.h"
#include "app/installed_apps.h"
#include "app/main_window.h"
#include "runtime/display_metrics.h"
#include "settings/app_settings.h"
#include "ui/control_numbers.h"
#include "ui/controls.h"
#include "ui/list_control.h"
#include "runtime/app_paths.h"
#include "updater/apps_table.h"
#include "updater/apps_table_writer.h"
#include "updater/package_manager.h"

#include <QApplication>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <sys/resource.h>

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

#ifdef STANDIN_PATH

constexpr int FloodLines = 100000;

double PeakRssMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_ListRunOf100kApps(benchmark::State& state)
{
    QTemporaryDir dir;
    QFile rows(dir.filePath("rows"));
    if (!rows.open(QIODevice::WriteOnly))
        state.SkipWithError("no rows file");
    for (int i = 0; i < FloodLines; ++i)
        rows.write(QStringLiteral("Application %1 \u00e9dition|Vendor.App%1|1.%2.3|%3\n")
                       .arg(i)
                       .arg(i % 10)
                       .arg(i % 3 == 0 ? QStringLiteral("9.0") : QString())
                       .toUtf8());
    rows.close();
    qputenv("STANDIN_ROWS", rows.fileName().toUtf8());
    qsizetype shown = 0;
    for (auto _ : state) {
        const QString output = updater::RunPackageManager({STANDIN_PATH, QStringLiteral("list")}, nullptr, 0).output;
        shown = updater::FillApps(updater::TakeAppLines(output), QString()).rows.size();
        benchmark::DoNotOptimize(shown);
    }
    qunsetenv("STANDIN_ROWS");
    state.counters["rows"] = static_cast<double>(shown);
    state.counters["peak_rss_MB"] = PeakRssMb();
}

void BM_UpgradeLogOf100kLines(benchmark::State& state)
{
    runtime::WingetPath = STANDIN_PATH;
    qputenv("STANDIN_UPGRADE_LINES", QByteArray::number(FloodLines));
    for (auto _ : state)
        app::UpgradeApp(0, QStringLiteral("Kelvara Studio"), QStringLiteral("Kelvara.Studio"), QStringLiteral("122.0"));
    qunsetenv("STANDIN_UPGRADE_LINES");
    state.counters["log_lines_kept"] = static_cast<double>(ui::Text(ui::id::AppsInfoBox).count(u'\n') + 1);
    state.counters["peak_rss_MB"] = PeakRssMb();
}

#endif

} // namespace

BENCHMARK(BM_ParseTable)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseAndFillList)->Unit(benchmark::kMillisecond);
#ifdef STANDIN_PATH
BENCHMARK(BM_ListRunOf100kApps)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UpgradeLogOf100kLines)->Unit(benchmark::kMillisecond);
#endif

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
