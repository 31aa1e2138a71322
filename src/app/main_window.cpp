#include "app/main_window.h"

#include "app/desktop_texts.h"
#include "app/picture_of_the_day.h"
#include "runtime/app_identity.h"
#include "runtime/display_metrics.h"
#include "runtime/process_state.h"
#include "runtime/software_centre.h"
#include "settings/app_settings.h"
#include "ui/accessibility.h"
#include "ui/combo_box.h"
#include "ui/control_numbers.h"
#include "ui/controls.h"
#include "ui/list_control.h"
#include "ui/pixel_ratio.h"
#include "ui/tab_control.h"

#include <optional>
#include <utility>
#include <vector>

namespace app {

namespace {

using ui::ControlKind;
using ui::ImageId;
using ui::Parent;

int Scaled(double design)
{
    return static_cast<int>(runtime::Scaled(design, runtime::Display.uiScale));
}

const QString RiskNotice =
    QStringLiteral("Use of the Zorvane Software Updater is at your own risk. We cannot be held responsible for any "
                   "data loss or system issues arising from software updates. We do not write the updates; we "
                   "simply tell you they are there.\r\n\r\nUpdating your software is considered critical for "
                   "maintaining security and receiving the latest features and bug fixes. However, please be aware "
                   "that any software update, including this one, can potentially introduce unexpected issues or "
                   "bugs. We recommend always keeping a good backup of your important files.\r\n\r\nBy continuing, "
                   "you acknowledge and accept these terms.");

/// One control of the main window. Positions and sizes are design units; an
/// image control without a size takes its picture's.
struct ControlRow
{
    int64_t number;
    ControlKind kind;
    Parent parent;
    QRect design;
    QString text;
    QString tooltip;
    std::optional<ImageId> image;
    bool raised = false;   ///< placed above the controls made before it
    bool inPixels = false; ///< `design` is in pixels, not scaled
};

/// The main window's controls in creation order (later ones lie on top).
std::vector<ControlRow> MainWindowRows()
{
    using namespace ui::id;
    const Parent main{MainWindow};
    const Parent apps{ContentTabs, 2};
    const QString site = runtime::SiteDisplayName;
    const ControlKind image = ControlKind::Image;
    return {
        {VisitSiteImage, image, main, {8, 7, 0, 0}, {}, QStringLiteral("Visit ") + site, ImageId::SiteLogo},
        {DonateImage, image, main, {62, 11, 0, 0}, {}, QStringLiteral("Make a donation (thank you!)"), ImageId::Donate},
        {SettingsImage, image, main, {108, 11, 0, 0}, {}, QStringLiteral("Settings"), ImageId::Settings},
        {RefreshImage, image, main, {153, 11, 0, 0}, {}, QStringLiteral("Refresh now (F5)"), ImageId::Refresh, true},
        {WinkImage, image, main, {0, 11, 32, 32}, {}, {}, ImageId::WinkA},
        {SearchBox, ControlKind::Edit, main, {0, 16, 267, 26}, {}, {}, {}},
        {SearchButton,
         ControlKind::ImageButton,
         main,
         {0, 17, 24, 24},
         {},
         QStringLiteral("Search ") + site + QStringLiteral(" for your text"),
         ImageId::Search},
        {ContentTabs, ControlKind::Tabs, main, {10, 60, 0, 0}, {}, {}, {}},
        {TabStripLine, ControlKind::Label, main, {15, 83, 0, 2}, {}, {}, {}, true},
        {TodayHeader, ControlKind::HeaderList, Parent{ContentTabs, ui::tab::Today}, {0, 0, 0, 27}, {}, {}, {}},
        // The logo sits over the header bar but belongs to the page: a widget
        // placed inside a list is out of reach of screen readers.
        {TodayHeaderLogo,
         image,
         Parent{ContentTabs, ui::tab::Today},
         {3, 2, 80, 16},
         {},
         {},
         ImageId::HeaderLogo,
         false,
         true},
        {TodayList, ControlKind::List, Parent{ContentTabs, ui::tab::Today}, {1, 28, 0, 0}, {}, {}, {}},
        {YesterdayHeader, ControlKind::HeaderList, Parent{ContentTabs, ui::tab::Yesterday}, {0, 0, 0, 27}, {}, {}, {}},
        {YesterdayHeaderLogo,
         image,
         Parent{ContentTabs, ui::tab::Yesterday},
         {3, 2, 80, 16},
         {},
         {},
         ImageId::HeaderLogo,
         false,
         true},
        {YesterdayList, ControlKind::List, Parent{ContentTabs, ui::tab::Yesterday}, {1, 28, 0, 0}, {}, {}, {}},
        {AppsList, ControlKind::ListWithHeader, apps, {0, 0, 0, 0}, {}, {}, {}},
        {AppsCheckButton, ControlKind::PushButton, apps, {0, 0, 294 - 30, 28}, AppsButtonText(), {}, {}},
        {ControlPanelButton,
         ControlKind::ImageButton,
         apps,
         {0, 0, 29, 28},
         {},
         OnLinux(DesktopText::SoftwareCentreTooltip),
         ImageId::ControlPanel},
        {AppsInfoBox, ControlKind::RichText, apps, {0, 29, 294, 0}, AppsNoticeText(), {}, {}},
        {SelectUpdatesButton,
         ControlKind::PushButton,
         apps,
         {0, 0, 190, 25},
         QStringLiteral("Select all apps with updates"),
         {},
         {}},
        {StartUpdatesButton, ControlKind::PushButton, apps, {0, 0, 103, 25}, QStringLiteral("Start updates"), {}, {}},
        {FilterLabel, ControlKind::Label, main, {0, 63, 40, 20}, QStringLiteral("Filter:"), {}, {}, true},
        {FilterBox, ControlKind::Edit, main, {0, 59, 250, 24}, {}, {}, {}, true},
        {PlatformCombo, ControlKind::ImageCombo, main, {0, 59, 42, 24}, {}, {}, {}, true},
        {PictureImage, image, main, {10, 0, 0, 0}, {}, {}, ImageId::RefreshingPicture},
        {NewsTabs, ControlKind::Tabs, main, {272, 0, 0, 248}, {}, {}, {}},
        {NewsList, ControlKind::List, Parent{NewsTabs, ui::tab::News}, {1, 1, 0, 0}, {}, {}, {}},
        {ArticlesList, ControlKind::List, Parent{NewsTabs, ui::tab::Articles}, {1, 1, 0, 0}, {}, {}, {}},
        {NewsTabLine, ControlKind::Label, main, {272, 0, 0, 2}, {}, {}, {}, true},
        {ProductCaption, ControlKind::Label, main, {0, 0, 0, 20}, runtime::AppTitle + u' ', {}, {}, true},
        {StatusLine, ControlKind::Label, main, {0, 0, 0, 24}, {}, {}, {}},
    };
}

/// The pages of a tab control, made with it so that later rows can be put on them.
void AddTabPages(int64_t tabs)
{
    using namespace ui::id;
    if (tabs == ContentTabs) {
        ui::AddTab(ContentTabs, QStringLiteral("Today"), ImageId::TabToday);
        ui::AddTab(ContentTabs, QStringLiteral("Yesterday"), ImageId::TabYesterday);
        ui::AddTab(ContentTabs, QStringLiteral("Installed Apps"), ImageId::TabInstalledApps);
    } else if (tabs == NewsTabs) {
        ui::AddTab(NewsTabs, QStringLiteral("News"), ImageId::TabNews);
        ui::AddTab(NewsTabs, QStringLiteral("Articles"), ImageId::TabArticles);
    }
}

/// Makes a control from its row; false when it could not be made.
bool MakeControl(const ControlRow& row)
{
    const QRect& d = row.design;
    QRect rect = row.inPixels ? d : QRect(Scaled(d.x()), Scaled(d.y()), Scaled(d.width()), Scaled(d.height()));
    if (row.kind == ControlKind::Image && row.design.width() == 0)
        rect.setSize(ui::ImageSize(*row.image));
    if (!ui::CreateControl(row.number, row.kind, row.parent, rect, row.text,
                           QString::fromUtf8(ui::SpokenName(row.number))))
        return false;
    if (row.image)
        ui::SetImage(row.number, *row.image);
    if (!row.tooltip.isEmpty())
        ui::SetTooltip(row.number, row.tooltip);
    if (row.raised)
        ui::Raise(row.number);
    if (row.kind == ControlKind::Tabs)
        AddTabPages(row.number);
    return true;
}

void AddFileListColumns(int64_t list, bool withLink)
{
    ui::AddListColumn(list, QString(), Scaled(96));
    ui::AddListColumn(list, QStringLiteral("Name"), 0);
    ui::AddListColumn(list, QStringLiteral("Description"), 0);
    if (withLink)
        ui::AddDataColumn(list); // the file's page
}

/// What the rows cannot say: columns, items, fonts, borders and states.
void FinishMainWindowControls()
{
    using namespace ui::id;
    const QString site = runtime::SiteDisplayName;
    ui::SetCueText(SearchBox, QStringLiteral("Search ") + site);
    ui::SetFont(SearchBox, ui::FontKind::Italic);

    for (const auto& [header, list] : {std::pair{TodayHeader, TodayList}, std::pair{YesterdayHeader, YesterdayList}}) {
        AddFileListColumns(header, false);
        ui::SetEnabled(header, false);
        AddFileListColumns(list, true);
        ui::SetBorder(list, QStringLiteral("none"));
    }

    ui::AddListColumn(AppsList, QStringLiteral("App name"), Scaled(250));
    ui::AddListColumn(AppsList, QStringLiteral("Current version"), Scaled(150));
    ui::AddListColumn(AppsList, QStringLiteral("Available version"), Scaled(150));
    ui::AddListColumn(AppsList, QStringLiteral("ID"), 0);
    ui::AddDataColumn(AppsList); // "1" when a newer version is available
    ui::SetEnabled(AppsCheckButton, runtime::UpdaterUnsupported.load() != 1);
    // Without a software centre the button could only do nothing.
    ui::SetEnabled(ControlPanelButton, runtime::SoftwareCentreInstalled());
    ui::SetEnabled(SelectUpdatesButton, false);
    ui::SetEnabled(StartUpdatesButton, false);

    // The items show only their icons; a screen reader says what they stand for.
    const std::pair<ImageId, const char*> platforms[] = {
        {ImageId::PlatformAll, "All platforms"}, {ImageId::PlatformWindows, "Windows"},
        {ImageId::PlatformLinux, "Linux"},       {ImageId::PlatformMacOS, "MacOS"},
        {ImageId::PlatformAndroid, "Android"},
    };
    for (const auto& [icon, spoken] : platforms)
        ui::AddComboItem(PlatformCombo, QString(), icon, QString::fromLatin1(spoken));

    for (const int64_t list : {NewsList, ArticlesList}) {
        ui::AddListColumn(list, QString(), 0);
        ui::AddDataColumn(list); // the story's page
        ui::SetBorder(list, QStringLiteral("none"));
    }
    ui::SetFont(ProductCaption, ui::FontKind::Italic);
    ui::SetAlignment(ProductCaption, Qt::AlignRight | Qt::AlignVCenter);
    ui::SetBorder(StatusLine, QStringLiteral("thin"));
    ui::SetAlignment(StatusLine, Qt::AlignLeft | Qt::AlignVCenter);
    ui::MarkAsStatusBar(StatusLine);
    // The wink is decoration: nothing to press.
    ui::SetTabStop(WinkImage, false);

    // The toolkit draws its own images again for a screen with another pixel
    // ratio; the picture of the day is composed here, so it is redrawn here.
    ui::SetPixelRatioChangedHandler([](int64_t number) {
        if (number == PictureImage)
            RedrawPicture();
    });
}

} // namespace

QString MainWindowCaption()
{
    return runtime::AppTitle + QStringLiteral(" v") + runtime::AppVersion + QStringLiteral("  |  ") +
           runtime::SiteDisplayName;
}

void ShowMainWindow()
{
    ui::ShowRestored(ui::id::MainWindow);
    ui::BringToFront(ui::id::MainWindow);
}

bool CreateMainWindow()
{
    const settings::AppSettings& s = settings::Settings;
    if (!ui::CreateWindow(ui::id::MainWindow, MainWindowCaption(), ui::WindowStyle::Main,
                          QRect(0, 0, static_cast<int>(s.App_W), static_cast<int>(s.App_H))))
        return false;
    // The settings keep the outer position and the inner size.
    ui::Move(ui::id::MainWindow, static_cast<int>(s.App_X), static_cast<int>(s.App_Y));
    return true;
}

bool CreateRefreshingWindow()
{
    const QRect main = ui::OuterGeometry(ui::id::MainWindow);
    const int w = Scaled(450);
    const int h = Scaled(100);
    const QRect rect(main.x() + (main.width() - w) / 2, main.y() + (main.height() - h) / 2, w, h);
    if (!ui::CreateWindow(ui::id::RefreshingWindow, QString(), ui::WindowStyle::Popup, rect, ui::id::MainWindow))
        return false;
    const Parent window{ui::id::RefreshingWindow};
    const bool made = MakeControl({ui::id::RefreshingText, ControlKind::Label, window, {0, 0, 450, 100}, {}, {}, {}}) &&
                      MakeControl({ui::id::RefreshingIcon,
                                   ControlKind::Image,
                                   window,
                                   {40, 33, 0, 0},
                                   {},
                                   {},
                                   ImageId::RefreshWindowIcon,
                                   true});
    ui::SetAlignment(ui::id::RefreshingText, Qt::AlignCenter);
    return made;
}

QString AppsButtonText()
{
    if (runtime::UpdaterUnsupported.load() == 1)
        return QStringLiteral("(App updates unavailable)");
    if (runtime::UpdaterAvailable.load() == 1)
        return QStringLiteral("Check for updates for your installed apps");
    return OnLinux(DesktopText::StoreButton);
}

QString AppsNoticeText()
{
    if (runtime::UpdaterUnsupported.load() == 1)
        return QStringLiteral("Updating apps requires Windows 10 or 11, so you can't do them on this PC. Sorry!");
    if (runtime::UpdaterAvailable.load() == 1)
        return RiskNotice;
    return OnLinux(DesktopText::MissingUpdaterSentence) + OnLinux(DesktopText::MissingUpdaterAdvice);
}

bool CreateMainWindowControls()
{
    for (const ControlRow& row : MainWindowRows()) {
        if (!MakeControl(row))
            return false;
    }
    FinishMainWindowControls();
    return true;
}

} // namespace app
