#include "app/desktop_texts.h"
#include "app/settings_window.h"

#include "window_fixture.h"

#include "app/colour_scheme.h"
#include "app/startup_shortcut.h"
#include "app/window_layout.h"
#include "runtime/app_identity.h"
#include "runtime/app_paths.h"
#include "settings/app_settings.h"
#include "settings/settings_file.h"
#include "support/test_files.h"
#include "ui/control_numbers.h"
#include "ui/controls.h"
#include "ui/list_control.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

using app::ComputeSettingsWindowLayout;
using app::SettingsWindowLayout;

namespace {

constexpr int FirstControl = 1;
constexpr int LastControl = 14;
constexpr int CloseButton = 14;

// The scales of the common desktop resolutions (logical DPI / 100) and the
// plain 1.0.
const struct Scale
{
    const char* name;
    double value;
} Scales[] = {
    {"96 dpi", 0.96}, {"scale 1", 1.0}, {"120 dpi", 1.2}, {"144 dpi", 1.44}, {"192 dpi", 1.92},
};

QRect At(const SettingsWindowLayout& layout, int number)
{
    return layout.controls[static_cast<size_t>(number)];
}

/// Both rectangles share at least one pixel row.
bool SameRow(const QRect& a, const QRect& b)
{
    return a.top() <= b.bottom() && b.top() <= a.bottom();
}

} // namespace

TEST(SettingsWindowLayout, RoundsEachRowOnTheRowAbove)
{
    // Rounding each row on the rounded row above, not the sum of the steps,
    // decides where the last rows land; worked out by hand.
    const struct
    {
        const char* name;
        double scale;
        int ys[15]; // y of controls 1..14 (index 0 unused)
        int width;
        int height;
    } rows[] = {
        // 12 -> 11.52 = 12, +24 = 36, +24 = 60, ... +21.12, +28.8, +33.6.
        {"96 dpi", 0.96, {0, 12, 36, 60, 84, 108, 132, 130, 132, 156, 177, 206, 230, 254, 288}, 470, 336},
        // 12 -> 17.28 = 17, +36 = 53, ... +31.68, +43.2, +36, +36, +50.4 = 430
        // (the sum of the steps would give 431).
        {"144 dpi", 1.44, {0, 17, 53, 89, 125, 161, 197, 195, 197, 233, 265, 308, 344, 380, 430}, 706, 502},
    };
    for (const auto& r : rows) {
        const SettingsWindowLayout layout = ComputeSettingsWindowLayout(r.scale);
        for (int number = FirstControl; number <= LastControl; ++number)
            EXPECT_EQ(At(layout, number).y(), r.ys[number]) << r.name << ": control " << number;
        EXPECT_EQ(layout.width, r.width) << r.name;
        EXPECT_EQ(layout.height, r.height) << r.name;
    }
}

TEST(SettingsWindowLayout, EveryControlLiesInsideTheWindow)
{
    for (const Scale& s : Scales) {
        const SettingsWindowLayout layout = ComputeSettingsWindowLayout(s.value);
        const QRect window(0, 0, layout.width, layout.height);
        for (int number = FirstControl; number <= LastControl; ++number) {
            EXPECT_FALSE(At(layout, number).isEmpty()) << s.name << ": control " << number;
            EXPECT_TRUE(window.contains(At(layout, number))) << s.name << ": control " << number;
        }
    }
}

TEST(SettingsWindowLayout, NoTwoControlsOverlap)
{
    for (const Scale& s : Scales) {
        const SettingsWindowLayout layout = ComputeSettingsWindowLayout(s.value);
        for (int a = FirstControl; a <= LastControl; ++a) {
            for (int b = a + 1; b <= LastControl; ++b)
                EXPECT_FALSE(At(layout, a).intersects(At(layout, b))) << s.name << ": controls " << a << " and " << b;
        }
    }
}

TEST(SettingsWindowLayout, ControlsFollowTheirCreationOrderDownAndAcross)
{
    // Each control either starts a new row below everything before it, or
    // shares the row of the one before and sits to its right.
    for (const Scale& s : Scales) {
        const SettingsWindowLayout layout = ComputeSettingsWindowLayout(s.value);
        int lowestBottom = At(layout, FirstControl).bottom();
        for (int number = FirstControl + 1; number <= LastControl; ++number) {
            const QRect previous = At(layout, number - 1);
            const QRect control = At(layout, number);
            const bool nextInRow = SameRow(previous, control) && control.left() > previous.right();
            const bool newRow = control.top() > lowestBottom;
            EXPECT_TRUE(nextInRow || newRow) << s.name << ": control " << number;
            lowestBottom = std::max(lowestBottom, control.bottom());
        }
    }
}

TEST(SettingsWindowLayout, CloseButtonIsCentredUnderEverything)
{
    for (const Scale& s : Scales) {
        const SettingsWindowLayout layout = ComputeSettingsWindowLayout(s.value);
        const QRect close = At(layout, CloseButton);
        // Twice the centres, so that half pixels compare exactly: one pixel
        // of rounding either way is allowed.
        const int offCentre = (2 * close.x() + close.width()) - layout.width;
        EXPECT_LE(std::abs(offCentre), 2) << s.name;
        for (int number = FirstControl; number < CloseButton; ++number)
            EXPECT_GT(close.top(), At(layout, number).bottom()) << s.name << ": control " << number;
        EXPECT_GT(layout.height, close.bottom() + 1) << s.name << ": no margin below Close";
    }
}

TEST(SettingsWindowLayout, SizesAndPositionsFollowTheScale)
{
    const SettingsWindowLayout unit = ComputeSettingsWindowLayout(1.0);
    // Each row is rounded on the one above, so vertical positions may drift by
    // half a pixel per row.
    const double yDrift = 0.5 * LastControl + 1;
    for (const Scale& s : Scales) {
        const SettingsWindowLayout layout = ComputeSettingsWindowLayout(s.value);
        EXPECT_LE(std::abs(layout.width - unit.width * s.value), 1.0) << s.name << ": window width";
        EXPECT_LE(std::abs(layout.height - unit.height * s.value), yDrift) << s.name << ": window height";
        for (int number = FirstControl; number <= LastControl; ++number) {
            const QRect a = At(unit, number);
            const QRect b = At(layout, number);
            EXPECT_LE(std::abs(b.x() - a.x() * s.value), 1.0) << s.name << ": x of control " << number;
            EXPECT_LE(std::abs(b.width() - a.width() * s.value), 1.0) << s.name << ": width of control " << number;
            EXPECT_LE(std::abs(b.height() - a.height() * s.value), 1.0) << s.name << ": height of control " << number;
            EXPECT_LE(std::abs(b.y() - a.y() * s.value), yDrift) << s.name << ": y of control " << number;
        }
    }
}

namespace {

using namespace ui::id;

/// Points the settings file and the autostart folder into a fresh folder.
struct ScratchPlaces
{
    QTemporaryDir dir;
    ScratchPlaces()
    {
        runtime::SettingsPath = dir.filePath("settings.ini");
        runtime::StartupDir = dir.filePath("autostart/");
        runtime::ProgramPath = dir.filePath("my programs/zorvane");
        runtime::ProgramDir = dir.filePath("my programs/");
        settings::Settings = settings::DefaultSettings(runtime::Display);
        app::ApplyColourScheme(settings::Settings.Zorva_Colors);
        app::SetSettingsControls();
    }
    QString EntryPath() const { return runtime::StartupDir + runtime::AppTitle + ".desktop"; }
};

settings::AppSettings Saved()
{
    settings::AppSettings saved = settings::DefaultSettings(runtime::Display);
    settings::LoadSettingsFile(runtime::SettingsPath, saved, runtime::Display);
    return saved;
}

/// A click on check box `box`: the box toggles, then its event arrives.
void ClickBox(int64_t box)
{
    ui::SetState(box, 1 - ui::State(box));
    app::OnSettingsControl(box, ui::ControlClick);
}

} // namespace

TEST(SettingsWindow, EachCheckBoxFlipsItsSettingAndSavesAtOnce)
{
    ASSERT_TRUE(apptest::CreateProgramWindows());
    const ScratchPlaces places;
    using Setting = int64_t settings::AppSettings::*;
    const struct
    {
        int64_t box;
        Setting setting;
    } rows[] = {
        {SettingsColours, &settings::AppSettings::Zorva_Colors},
        {SettingsRunAtStartup, &settings::AppSettings::App_Run_At_Startup},
        {SettingsRunMinimized, &settings::AppSettings::App_Run_Minimized},
        {SettingsCloseToTray, &settings::AppSettings::App_Close_To_Tray},
        {SettingsRefreshPicture, &settings::AppSettings::Refresh_Picture},
        {SettingsAlertHighlight, &settings::AppSettings::Alert_Highlight},
        {SettingsAlertPopup, &settings::AppSettings::Alert_Popup},
        {SettingsVersionShown, &settings::AppSettings::Version_Shown},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(ui::ControlName(r.box));
        const int64_t before = settings::Settings.*r.setting;
        app::OnSettingsControl(r.box, ui::ControlFocus); // tabbing onto a box changes nothing
        EXPECT_EQ(settings::Settings.*r.setting, before);
        ClickBox(r.box);
        EXPECT_EQ(settings::Settings.*r.setting, 1 - before);
        EXPECT_EQ(Saved().*r.setting, 1 - before) << "not saved at once";
        ClickBox(r.box);
        EXPECT_EQ(Saved().*r.setting, before);
    }
}

TEST(SettingsWindow, BoxesThatActAtOnce)
{
    ASSERT_TRUE(apptest::CreateProgramWindows());
    const ScratchPlaces places;
    // The colour scheme switches with its box.
    const QColor site = ui::BackColour(MainWindow);
    ClickBox(SettingsColours);
    EXPECT_NE(ui::BackColour(MainWindow), site);
    ClickBox(SettingsColours);
    EXPECT_EQ(ui::BackColour(MainWindow), site);

    // The Name column makes room for the version numbers, or gives it back.
    app::LayoutMainWindow(true);
    const int withVersions = ui::ColumnWidth(TodayList, 1);
    ClickBox(SettingsVersionShown);
    EXPECT_LT(ui::ColumnWidth(TodayList, 1), withVersions);
    ClickBox(SettingsVersionShown);
    EXPECT_EQ(ui::ColumnWidth(TodayList, 1), withVersions);

    // Alert names are taken as typed, without the blanks around them; the
    // hint shows in italics while the box is empty. Saved only at close.
    ui::SetText(SettingsAlertNames, "  kelvara, zip  ");
    app::OnSettingsControl(SettingsAlertNames, ui::ControlChange);
    EXPECT_EQ(settings::Settings.Alert_Names, "kelvara, zip");
    EXPECT_EQ(ui::Font(SettingsAlertNames), ui::FontKind::Normal);
    EXPECT_EQ(Saved().Alert_Names, "");
    ui::SetText(SettingsAlertNames, "");
    app::OnSettingsControl(SettingsAlertNames, ui::ControlChange);
    EXPECT_EQ(settings::Settings.Alert_Names, "");
    EXPECT_EQ(ui::Font(SettingsAlertNames), ui::FontKind::Italic);
}

TEST(StartupShortcut, WrittenReplacedRemovedAndReportedWhenImpossible)
{
    ASSERT_TRUE(apptest::CreateProgramWindows());
    const ScratchPlaces places;
    // Ticking writes the entry and the setting before the window closes.
    ClickBox(SettingsRunAtStartup);
    EXPECT_EQ(Saved().App_Run_At_Startup, 1);
    EXPECT_TRUE(testsupport::ReadBytes(places.EntryPath()).contains("Path=" + runtime::ProgramDir.toUtf8()));

    // A stale read-only entry is replaced.
    testsupport::WriteBytes(places.EntryPath(), "stale");
    QFile::setPermissions(places.EntryPath(), QFile::ReadOwner);
    app::ApplyStartupShortcut();
    EXPECT_TRUE(testsupport::ReadBytes(places.EntryPath()).startsWith("[Desktop Entry]"));

    // Unticking removes it.
    ClickBox(SettingsRunAtStartup);
    EXPECT_FALSE(QFileInfo::exists(places.EntryPath()));

    // A folder that cannot be made: the message, and the setting stays 1.
    testsupport::WriteBytes(places.dir.filePath("file"), "x");
    runtime::StartupDir = places.dir.filePath("file/autostart/");
    const auto box = apptest::AnswerNextBox();
    ClickBox(SettingsRunAtStartup);
    EXPECT_TRUE(box->text.startsWith("Couldn't set this application to run at startup. :(\n"));
    EXPECT_EQ(box->title, runtime::AppTitle);
    EXPECT_EQ(Saved().App_Run_At_Startup, 1);

    // A program path no desktop can start from an entry: said, and no entry.
    runtime::StartupDir = places.dir.filePath("autostart/");
    runtime::ProgramPath = places.dir.filePath("100% tested/zorvane");
    ClickBox(SettingsRunAtStartup);
    const auto refused = apptest::AnswerNextBox();
    ClickBox(SettingsRunAtStartup);
    EXPECT_TRUE(refused->text.contains("contains \"%\"")) << refused->text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(places.EntryPath()));
}

TEST(DesktopTexts, NoControlNamesAWindowsService)
{
    ASSERT_TRUE(apptest::CreateProgramWindows());
    for (int64_t number = 0; number < 100; ++number) {
        if (*ui::ControlName(number) == '\0')
            continue;
        for (const app::DesktopTextRow& row : app::DesktopTexts) {
            const QString windows = QString::fromUtf8(row.windows);
            EXPECT_FALSE(ui::Text(number).contains(windows)) << ui::ControlName(number) << ": " << row.windows;
            EXPECT_FALSE(ui::Tooltip(number).contains(windows)) << ui::ControlName(number) << ": " << row.windows;
        }
    }
    EXPECT_EQ(ui::Text(AppsCheckButton), "Set up Flatpak"); // no package manager in the fixture
    EXPECT_EQ(ui::Tooltip(ControlPanelButton), "Uninstall or change programs in the software centre");
}
