#include "app/colour_scheme.h"

#include "app/desktop_texts.h"
#include "app/picture_of_the_day.h"
#include "app/window_layout.h"
#include "runtime/process_state.h"
#include "settings/app_settings.h"
#include "ui/control_numbers.h"
#include "ui/rich_text.h"

#include <QApplication>
#include <QPalette>

namespace app {

namespace {

/// The check boxes of the settings window.
constexpr int64_t SettingsCheckBoxes[] = {
    ui::id::SettingsColours,     ui::id::SettingsRunAtStartup,   ui::id::SettingsRunMinimized,
    ui::id::SettingsCloseToTray, ui::id::SettingsRefreshPicture, ui::id::SettingsAlertHighlight,
    ui::id::SettingsAlertPopup,  ui::id::SettingsVersionShown,
};

SystemColours SystemColoursNow()
{
    const QPalette palette = QApplication::palette();
    return {palette.color(QPalette::Button), palette.color(QPalette::Base)};
}

void ColourNoticeSpan(bool site, const SystemColours& system)
{
    const QString notice = ui::Text(ui::id::AppsInfoBox);
    const QColor text = runtime::UpdaterAvailable.load() == 0 ? AlertRedColour : ListTextColour;
    const QColor back = site ? PaleColour : system.window;
    ui::ColourSpan(ui::id::AppsInfoBox, 0, NoticeSpanLength(notice, runtime::UpdaterUnsupported.load() == 1), text,
                   back);
}

} // namespace

SchemeLook SchemeLookOf(bool site, const SystemColours& system)
{
    using namespace ui::id;
    // The system scheme gives every control its default (invalid colours).
    const QColor dark = site ? DarkColour : QColor();
    const QColor pale = site ? PaleColour : QColor();
    const QColor cream = site ? CreamColour : QColor();
    const QColor listText = site ? ListTextColour : QColor();
    const QColor none;

    SchemeLook look;
    look.refreshingBorder = site ? QStringLiteral("none") : QStringLiteral("raised");
    look.infoBox = {AppsInfoBox, pale, none};
    look.colours = {
        {SettingsRefreshLabel, pale, none}, {SettingsRefreshRate, cream, none}, {SettingsRefreshUnit, pale, none},
        {SettingsAlertLabel, pale, none},   {SettingsAlertNames, cream, none},
    };
    for (const int64_t box : SettingsCheckBoxes)
        look.colours.append({box, pale, none});
    look.colours += QList<ControlColours>{
        {SettingsWindow, pale, none},
        {MainWindow, dark, none},
        {SearchBox, cream, none},
        {TodayList, pale, listText},
        {YesterdayList, pale, listText},
        {FilterLabel, dark, pale},
        {FilterBox, dark, pale},
        {ProductCaption, dark, pale},
        {NewsList, pale, none},
        {ArticlesList, pale, none},
        {AppsList, pale, none},
        {StatusLine, dark, pale},
        {RefreshingText, cream, none},
        // The tab controls' background around and below the tabs.
        {ContentTabs, site ? DarkColour : system.buttonFace, none},
        {NewsTabs, site ? DarkColour : system.buttonFace, none},
    };
    // The lines under the tab strips stand out from the dark background.
    look.lines = {{TabStripLine, pale, none}, {NewsTabLine, pale, none}};
    look.linesShown = site;
    return look;
}

SearchBoxLook SearchBoxLookOf(bool site, bool empty)
{
    if (empty)
        return {ui::FontKind::Italic, QColor()};
    return {ui::FontKind::Normal, site ? SearchTextColour : QColor()};
}

int NoticeSpanLength(const QString& notice, bool updaterUnsupported)
{
    int length = static_cast<int>(OnLinux(DesktopText::MissingUpdaterSentence).size());
    if (updaterUnsupported) {
        const qsizetype end = notice.indexOf(QLatin1String(". "));
        length = end < 0 ? static_cast<int>(notice.size()) : static_cast<int>(end + 1);
    }
    return std::min(length, static_cast<int>(notice.size()));
}

void ApplyColourScheme(int64_t on)
{
    using namespace ui::id;
    const bool site = on == 1;
    settings::Settings.Zorva_Colors = site ? 1 : 0;
    const SystemColours system = SystemColoursNow();
    const SchemeLook look = SchemeLookOf(site, system);

    SetControlBorder(RefreshingText, look.refreshingBorder);
    ui::SetColours(AppsInfoBox, look.infoBox.back, look.infoBox.text);
    ColourNoticeSpan(site, system);
    UpdateSearchBoxLook();
    for (const ControlColours& c : look.colours) {
        // SearchBox keeps the text colour its content gave it.
        const QColor text = c.number == SearchBox ? ui::TextColour(SearchBox) : c.text;
        ui::SetColours(c.number, c.back, text);
    }
    for (const ControlColours& c : look.lines) {
        ui::SetColours(c.number, c.back, c.text);
        ui::SetVisible(c.number, look.linesShown);
    }
    LayoutHeaderRow(); // SearchButton's place and size depend on the scheme
    RedrawPicture();   // its frame and background follow the scheme
}

void SetControlBorder(int64_t number, const QString& word)
{
    ui::SetBorder(number, word);
}

void UpdateSearchBoxLook()
{
    const SearchBoxLook look =
        SearchBoxLookOf(settings::Settings.Zorva_Colors == 1, ui::Text(ui::id::SearchBox).isEmpty());
    ui::SetFont(ui::id::SearchBox, look.font);
    ui::SetColours(ui::id::SearchBox, ui::BackColour(ui::id::SearchBox), look.text);
}

} // namespace app
