#include "app/colour_scheme.h"

#include "window_fixture.h"

#include "support/qstring_print.h"

#include "app/main_window.h"
#include "runtime/process_state.h"
#include "settings/app_settings.h"
#include "ui/control_numbers.h"
#include "ui/controls.h"
#include "ui/rich_text.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPalette>
#include <QTextCursor>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <algorithm>

using namespace ui::id;

namespace {

const QColor Dark(96, 97, 74);
const QColor Pale(225, 225, 187);
const QColor Cream(255, 255, 235);
const QColor Black(0, 0, 0);
const QColor None;
const app::SystemColours System{QColor(1, 2, 3), QColor(4, 5, 6)};

bool IsSiteColour(const QColor& c)
{
    return c == Dark || c == Pale || c == Cream;
}

/// What a user sees of a scheme on the real controls: each control carries
/// the colours the scheme assigns it, and nothing else.
void ExpectControlColours(bool site, const QColor& buttonFace)
{
    const app::SchemeLook look = app::SchemeLookOf(site, {buttonFace, QApplication::palette().color(QPalette::Base)});
    for (const app::ControlColours& c : look.colours) {
        SCOPED_TRACE(testing::Message() << ui::ControlName(c.number) << (site ? " site" : " system"));
        EXPECT_EQ(ui::BackColour(c.number), c.back);
        if (c.number != SearchBox) { // its text follows its content
            EXPECT_EQ(ui::TextColour(c.number), c.text);
        }
    }
    EXPECT_EQ(ui::BackColour(AppsInfoBox), site ? Pale : None);
}

/// Background of the character at `position` of AppsInfoBox.
QColor SpanBack(int position)
{
    auto* box = qobject_cast<QTextEdit*>(ui::Widget(AppsInfoBox));
    if (box == nullptr)
        return QColor();
    QTextCursor cursor(box->document());
    cursor.setPosition(position + 1);
    return cursor.charFormat().background().color();
}

/// Leaves the shared windows as start-up does.
struct SiteSchemeAfterwards
{
    ~SiteSchemeAfterwards()
    {
        ui::SetText(SearchBox, QString());
        app::ApplyColourScheme(1);
    }
};

} // namespace

TEST(SchemeLook, SiteColoursAreReadableAndTheSystemSchemeKeepsNone)
{
    const app::SchemeLook site = app::SchemeLookOf(true, System);
    const app::SchemeLook system = app::SchemeLookOf(false, System);
    // Everything a user reads or types into takes the site's colours.
    for (const int64_t number : {SettingsWindow,
                                 MainWindow,
                                 RefreshingText,
                                 SearchBox,
                                 TodayList,
                                 YesterdayList,
                                 FilterLabel,
                                 FilterBox,
                                 ProductCaption,
                                 NewsList,
                                 ArticlesList,
                                 AppsList,
                                 StatusLine,
                                 ContentTabs,
                                 NewsTabs,
                                 SettingsColours,
                                 SettingsRefreshLabel,
                                 SettingsRefreshRate,
                                 SettingsAlertNames,
                                 SettingsVersionShown}) {
        const bool listed = std::any_of(site.colours.begin(), site.colours.end(),
                                        [number](const app::ControlColours& c) { return c.number == number; });
        EXPECT_TRUE(listed) << ui::ControlName(number) << " keeps the desktop's colours in the site scheme";
    }
    for (const app::ControlColours& c : site.colours) {
        SCOPED_TRACE(ui::ControlName(c.number));
        EXPECT_TRUE(IsSiteColour(c.back)) << "background outside the site's palette";
        if (c.text.isValid()) {
            EXPECT_NE(c.text, c.back) << "text invisible on its background";
            EXPECT_TRUE(c.text == Black || c.text == Pale) << "text colour outside the palette";
        }
    }
    // Typing fields stand out as cream; the lines show on the dark background.
    for (const int64_t edit : {SearchBox, SettingsRefreshRate, SettingsAlertNames}) {
        for (const app::ControlColours& c : site.colours)
            if (c.number == edit) {
                EXPECT_EQ(c.back, Cream) << ui::ControlName(edit);
            }
    }
    EXPECT_TRUE(site.linesShown);
    ASSERT_EQ(site.lines.size(), 2);
    for (const app::ControlColours& line : site.lines)
        EXPECT_EQ(line.back, Pale) << ui::ControlName(line.number);
    EXPECT_EQ(site.infoBox.back, Pale);
    EXPECT_EQ(site.refreshingBorder, QStringLiteral("none"));

    // The system scheme takes every site colour back; only the tab controls
    // are painted, with the desktop's own button face.
    EXPECT_EQ(system.colours.size(), site.colours.size()) << "a control would keep its site colour";
    for (const app::ControlColours& c : system.colours) {
        SCOPED_TRACE(ui::ControlName(c.number));
        const bool tabs = c.number == ContentTabs || c.number == NewsTabs;
        EXPECT_EQ(c.back, tabs ? System.buttonFace : None);
        EXPECT_EQ(c.text, None);
    }
    EXPECT_EQ(system.infoBox.back, None);
    EXPECT_FALSE(system.linesShown);
    EXPECT_EQ(system.refreshingBorder, QStringLiteral("raised"));
}

TEST(SchemeLook, SearchBoxByContent)
{
    const struct
    {
        bool site;
        bool empty;
        ui::FontKind font;
        QColor text;
    } rows[] = {
        {true, true, ui::FontKind::Italic, None},               // cue text in italics, own colour
        {true, false, ui::FontKind::Normal, QColor(0, 150, 0)}, // typed text green and upright
        {false, true, ui::FontKind::Italic, None},
        {false, false, ui::FontKind::Normal, None}, // the system scheme changes only the font
    };
    for (const auto& r : rows) {
        const app::SearchBoxLook look = app::SearchBoxLookOf(r.site, r.empty);
        EXPECT_EQ(look.font, r.font) << r.site << r.empty;
        EXPECT_EQ(look.text, r.text) << r.site << r.empty;
    }
}

TEST(SchemeLook, NoticeSpanLength)
{
    const QString missing = QStringLiteral("No package manager was found. You will need Flatpak or PackageKit.");
    const QString old =
        QStringLiteral("Updating apps requires Windows 10 or 11, so you can't do them on this PC. Sorry!");
    const struct
    {
        const char* probe;
        QString notice;
        bool unsupported;
        int expected;
    } rows[] = {
        {"the missing-updater sentence", missing, false, 29},
        {"the risk notice: same count", QStringLiteral("Use of the Zorvane Software Updater is at your own risk."),
         false, 29},
        {"shorter than the sentence", QStringLiteral("abc"), false, 3},
        {"empty box", QString(), false, 0},
        {"old system: its whole first sentence", old, true, 73},
        {"old system, one sentence without a following space", QStringLiteral("Too old."), true, 8},
        {"old system, empty box", QString(), true, 0},
    };
    for (const auto& r : rows)
        EXPECT_EQ(app::NoticeSpanLength(r.notice, r.unsupported), r.expected) << r.probe;
    EXPECT_EQ(old.left(73),
              QStringLiteral("Updating apps requires Windows 10 or 11, so you can't do them on this PC."));
}

TEST(ApplyColourScheme, RealWindowsInBothSchemes)
{
    ASSERT_TRUE(apptest::CreateProgramWindows());
    const SiteSchemeAfterwards restore;
    const QRect savedMain = ui::Geometry(MainWindow);
    ui::SetGeometry(MainWindow, QRect(savedMain.topLeft(), QSize(1152, 672))); // W = 1152 at UiScale 0.96
    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    const QColor systemWindow = QApplication::palette().color(QPalette::Base);
    ASSERT_EQ(runtime::UpdaterAvailable.load(), 0); // the fixture has no package manager
    ui::SetText(SearchBox, QString());

    app::ApplyColourScheme(1);
    EXPECT_EQ(settings::Settings.Zorva_Colors, 1);
    ExpectControlColours(true, buttonFace);
    EXPECT_TRUE(ui::IsVisible(TabStripLine));
    EXPECT_TRUE(ui::IsVisible(NewsTabLine));
    EXPECT_EQ(ui::BackColour(TabStripLine), Pale);
    EXPECT_EQ(ui::Border(RefreshingText), QStringLiteral("none"));
    // 1152 - 34 x 0.96 = 1119.36, 17 x 0.96 = 16.32, 24 x 0.96 = 23.04
    EXPECT_EQ(ui::Geometry(SearchButton), QRect(1119, 16, 23, 23));
    // Every check box of the settings window, found by kind, has the pale background.
    for (int64_t number = 1; number <= 14; ++number) {
        if (qobject_cast<QCheckBox*>(ui::Widget(number)) != nullptr) {
            EXPECT_EQ(ui::BackColour(number), Pale) << number;
        }
    }
    // The widgets really carry the colours.
    EXPECT_EQ(ui::Widget(FilterBox)->palette().color(QPalette::Base), Dark);
    EXPECT_EQ(ui::Widget(FilterBox)->palette().color(QPalette::Text), Pale);
    EXPECT_EQ(ui::Widget(MainWindow)->palette().color(QPalette::Window), Dark);
    // Without the package manager, the notice's first sentence is red on pale.
    const QColor red(200, 0, 0);
    EXPECT_EQ(ui::SpanTextColour(AppsInfoBox, 0), red);
    EXPECT_EQ(ui::SpanTextColour(AppsInfoBox, 28), red);
    EXPECT_NE(ui::SpanTextColour(AppsInfoBox, 29), red);
    EXPECT_EQ(SpanBack(0), Pale);

    app::ApplyColourScheme(0);
    EXPECT_EQ(settings::Settings.Zorva_Colors, 0);
    ExpectControlColours(false, buttonFace);
    EXPECT_FALSE(ui::IsVisible(TabStripLine));
    EXPECT_FALSE(ui::IsVisible(NewsTabLine));
    EXPECT_EQ(ui::Border(RefreshingText), QStringLiteral("raised"));
    // 1152 - 36 x 0.96 = 1117.44, 15 x 0.96 = 14.4, 28 x 0.96 = 26.88
    EXPECT_EQ(ui::Geometry(SearchButton), QRect(1117, 14, 27, 27));
    EXPECT_EQ(ui::SpanTextColour(AppsInfoBox, 0), red); // still red in the system scheme
    EXPECT_EQ(SpanBack(0), systemWindow);
    EXPECT_EQ(ui::Widget(MainWindow)->palette().color(QPalette::Window),
              QApplication::palette().color(QPalette::Window));

    app::ApplyColourScheme(1); // and back
    ExpectControlColours(true, buttonFace);
    EXPECT_TRUE(ui::IsVisible(TabStripLine));
    EXPECT_EQ(ui::Geometry(SearchButton), QRect(1119, 16, 23, 23));
    ui::SetGeometry(MainWindow, savedMain);
}

TEST(ApplyColourScheme, NoticeWithTheUpdaterPresentIsBlack)
{
    ASSERT_TRUE(apptest::CreateProgramWindows());
    const SiteSchemeAfterwards restore;
    const QString saved = ui::Text(AppsInfoBox);
    runtime::UpdaterAvailable = 1;
    ui::SetText(AppsInfoBox, app::AppsNoticeText());
    app::ApplyColourScheme(1);
    EXPECT_EQ(ui::SpanTextColour(AppsInfoBox, 0), QColor(0, 0, 0));
    EXPECT_EQ(ui::SpanTextColour(AppsInfoBox, 28), QColor(0, 0, 0));
    runtime::UpdaterAvailable = 0;
    ui::SetText(AppsInfoBox, saved);
}

TEST(UpdateSearchBoxLook, TypedTextIsGreenAndUprightInTheSiteScheme)
{
    ASSERT_TRUE(apptest::CreateProgramWindows());
    const SiteSchemeAfterwards restore;
    auto* edit = qobject_cast<QLineEdit*>(ui::Widget(SearchBox));
    ASSERT_NE(edit, nullptr);
    const QColor green(0, 150, 0);

    app::ApplyColourScheme(1);
    ui::SetText(SearchBox, QString());
    app::UpdateSearchBoxLook();
    EXPECT_EQ(ui::Font(SearchBox), ui::FontKind::Italic);
    EXPECT_TRUE(edit->font().italic());
    EXPECT_EQ(ui::TextColour(SearchBox), None);

    ui::SetText(SearchBox, QStringLiteral("firefox"));
    app::UpdateSearchBoxLook();
    EXPECT_EQ(ui::Font(SearchBox), ui::FontKind::Normal);
    EXPECT_FALSE(edit->font().italic());
    EXPECT_EQ(ui::TextColour(SearchBox), green);
    EXPECT_EQ(edit->palette().color(QPalette::Text), green);
    EXPECT_EQ(ui::BackColour(SearchBox), Cream); // the background stays

    // Applying the scheme again keeps the colour the content gave.
    app::ApplyColourScheme(1);
    EXPECT_EQ(ui::TextColour(SearchBox), green);

    // The system scheme: the same text in the default colour, still upright.
    app::ApplyColourScheme(0);
    EXPECT_EQ(ui::Font(SearchBox), ui::FontKind::Normal);
    EXPECT_EQ(ui::TextColour(SearchBox), None);

    ui::SetText(SearchBox, QString());
    app::UpdateSearchBoxLook();
    EXPECT_EQ(ui::Font(SearchBox), ui::FontKind::Italic);
    EXPECT_EQ(ui::TextColour(SearchBox), None);
}

TEST(SetControlBorder, WordsWithoutRegardToCaseAndThinForTheRest)
{
    ASSERT_TRUE(apptest::CreateProgramWindows());
    const QRect before = ui::Geometry(StatusLine);
    const struct
    {
        const char* word;
        const char* look;
    } rows[] = {
        {"none", "none"},     {"NONE", "none"},  {"Black", "black"}, {"raised", "raised"},
        {"SuNkEn", "sunken"}, {"thin", "thin"},  {"dotted", "thin"}, // not in the table
        {"", "thin"},         {" none", "thin"},                     // no trimming
    };
    for (const auto& r : rows) {
        app::SetControlBorder(StatusLine, QString::fromUtf8(r.word));
        EXPECT_EQ(ui::Border(StatusLine), QString::fromUtf8(r.look)) << r.word;
        EXPECT_EQ(ui::Geometry(StatusLine), before) << r.word; // not moved or resized
    }
    app::SetControlBorder(StatusLine, QStringLiteral("thin"));
}
