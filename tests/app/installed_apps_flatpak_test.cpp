// The "Installed Apps" tab with the real package bridge against a flatpak
// world made for the test: what a flatpak user meets, through the whole
// program.
#include "app/event_loop.h"
#include "app/installed_apps.h"
#include "app/shell_state.h"
#include "window_fixture.h"

#include "runtime/app_paths.h"
#include "runtime/event_queue.h"
#include "runtime/process_state.h"
#include "support/flatpak_world.h"
#include "support/qstring_print.h"
#include "ui/control_numbers.h"
#include "ui/controls.h"
#include "ui/list_control.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace ui::id;

namespace {

class InstalledFlatpakApps : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(apptest::CreateProgramWindows());
        runtime::SetEventThread();
    }

    void SetUp() override
    {
        if (QString(::testing::UnitTest::GetInstance()->current_test_info()->name()).startsWith("BothSources") &&
            qEnvironmentVariable("ZORVANE_IN_PACKAGEKIT_RIG") != "1")
            GTEST_SKIP() << "needs the PackageKit rig: ctest runs it there as InstalledApps.BothSourcesInTheRig";
        ASSERT_TRUE(dir_.isValid());
        bool skip = false;
        const QString problem = world_.Create(dir_.path(), &skip);
        if (skip)
            GTEST_SKIP() << problem.toStdString();
        ASSERT_EQ(problem, "");
        for (const QStringList& step : QList<QStringList>{
                 {"add-app", "org.example.Hello", "Hello", "1.0"},
                 {"add-remote", "other"},
                 {"add-app", "org.other.Hello", "Hello", "1.0", "other"},
                 {"add-remote", "dead"},
                 {"add-app", "org.dead.App", "Dead App", "1.0", "dead"},
                 {"publish", "org.example.Hello", "2.0"},
                 {"publish", "org.other.Hello", "1.1"},
             })
            ASSERT_EQ(world_.Given(step), "");
        ASSERT_EQ(Flatpak({"remote-modify", "--user", "--url=http://127.0.0.1:9/", "dead"}), 0);
        // The program hands its environment to the bridge it runs.
        const QProcessEnvironment environment = world_.Environment();
        for (const QString& name : environment.keys()) {
            saved_.append({name, qgetenv(name.toUtf8().constData())});
            qputenv(name.toUtf8().constData(), environment.value(name).toUtf8());
        }
        runtime::WingetPath = ZORVANE_PACKAGES_BRIDGE;
        runtime::UpdaterAvailable = 1;
        app::AppLines.clear();
        ui::ClearRows(AppsList);
    }

    void TearDown() override
    {
        for (const auto& [name, value] : saved_)
            qputenv(name.toUtf8().constData(), value);
    }

    int Flatpak(const QStringList& arguments)
    {
        QProcess flatpak;
        flatpak.setProcessEnvironment(world_.Environment());
        flatpak.start("flatpak", arguments);
        return flatpak.waitForFinished(60000) ? flatpak.exitCode() : -1;
    }

    static void Check() { app::DispatchEvent(runtime::EvControl, MainWindow, AppsCheckButton, ui::ControlClick, 0); }

    /// The list as "name|available|mark" per row, in its order.
    static QStringList Rows()
    {
        QStringList rows;
        for (int64_t row = 0; row < ui::RowCount(AppsList); ++row) {
            rows << ui::CellText(AppsList, row, 0) + "|" + ui::CellText(AppsList, row, 2) + "|" +
                        ui::CellText(AppsList, row, 4);
        }
        return rows;
    }

    static void DoubleClick(int64_t row)
    {
        for (int64_t other = 0; other < ui::RowCount(AppsList); ++other)
            ui::SelectRow(AppsList, other, other == row);
        app::DispatchEvent(runtime::EvControl, MainWindow, AppsList, ui::ControlDoubleClick, 0);
    }

    QTemporaryDir dir_;
    testsupport::FlatpakWorld world_;
    QList<std::pair<QString, QByteArray>> saved_;
};

} // namespace

TEST_F(InstalledFlatpakApps, ADeadRemoteCostsOnlyItsOwnAppsAndSharedNamesUpgradeByIdentifier)
{
    Check();
    const QString cut = QString(QChar(u'\u2026'));
    ASSERT_EQ(Rows(), (QStringList{"Dead App|(remote unreachable)|0", "Hello (org.example.Hello)" + cut + "|2.0|1",
                                   "Hello (org.other.Hello)" + cut + "|1.1|1"}));
    EXPECT_TRUE(ui::Text(AppsInfoBox).contains("Number of updates available: 2"));
    EXPECT_TRUE(ui::Text(AppsInfoBox).contains("The remote \"dead\" of the user installation could not be reached"))
        << ui::Text(AppsInfoBox).toStdString();

    DoubleClick(2);
    EXPECT_EQ(Rows().value(2), "Hello (org.other.Hello)" + cut + "|Unknown|0") << ui::Text(AppsInfoBox).toStdString();
    EXPECT_TRUE(ui::Text(AppsInfoBox).contains("Successfully installed"));
    EXPECT_EQ(Rows().value(1), "Hello (org.example.Hello)" + cut + "|2.0|1") << "the other Hello is untouched";
}

TEST_F(InstalledFlatpakApps, AnAppInBothInstallationsTurnsNormalInEitherRow)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can install into the test's system installation";
    ASSERT_EQ(Flatpak({"remote-add", "--system", "--no-gpg-verify", "local",
                       "file://" + world_.Fixture() + "/remotes/local"}),
              0);
    ASSERT_EQ(
        Flatpak({"install", "--system", "-y", "--noninteractive", "local", "app/org.example.Hello/x86_64/stable"}), 0);
    ASSERT_EQ(world_.Given({"publish", "org.example.Hello", "3.0"}), "");
    Check();
    const QString hello = "Hello (org.example.Hello)" + QString(QChar(u'\u2026'));
    ASSERT_EQ(Rows().filter(hello), (QStringList{hello + "|3.0|1", hello + "|3.0|1"})) << "a row per installation";
    for (const int64_t row : {1, 2}) {
        DoubleClick(row);
        EXPECT_EQ(Rows().value(row), hello + "|Unknown|0")
            << "row " << row << ": " << ui::Text(AppsInfoBox).toStdString();
    }
}

/// Both sources at once: flatpak's world and the distribution's packages of
/// the PackageKit rig, which the ctest entry InstalledApps.BothSourcesInTheRig
/// runs this inside.
TEST_F(InstalledFlatpakApps, BothSourcesListTogetherAndAPackageRowTurnsNormalWhenUpgraded)
{
    qputenv("ZORVANE_PACKAGES_SOURCES", "flatpak,packagekit");
    Check();
    const QString cut = QString(QChar(u'\u2026'));
    EXPECT_EQ(Rows(), (QStringList{"Dead App|(remote unreachable)|0", "Hello (org.example.Hello)" + cut + "|2.0|1",
                                   "Hello (org.other.Hello)" + cut + "|1.1|1", "Rig Paint|2.0|1",
                                   "System packages|2 updates|1"}));
    DoubleClick(3);
    EXPECT_EQ(Rows().value(3), "Rig Paint|Unknown|0") << ui::Text(AppsInfoBox).toStdString();
    EXPECT_TRUE(ui::Text(AppsInfoBox).contains("Successfully installed")) << ui::Text(AppsInfoBox).toStdString();
}
