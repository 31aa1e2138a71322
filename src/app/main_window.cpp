#include "app/main_window.h"

#include "runtime/app_identity.h"
#include "runtime/app_paths.h"
#include "runtime/display_metrics.h"
#include "runtime/file_ops.h"
#include "runtime/process_state.h"
#include "settings/app_settings.h"
#include "ui/combo_box.h"
#include "ui/control_numbers.h"
#include "ui/controls.h"
#include "ui/list_control.h"
#include "ui/tab_control.h"

namespace app {

namespace {

using ui::ControlKind;
using ui::ImageId;
using ui::Parent;

int S(double design)
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

/// Makes one control; the whole creation fails if any control fails.
class Builder
{
public:
    void Make(int64_t number, ControlKind kind, Parent parent, const QRect& rect, const QString& text,
              const QString& name)
    {
        ok_ = ui::CreateControl(number, kind, parent, rect, text, name) && ok_;
    }
    void Image(int64_t number, Parent parent, int x, int y, ImageId image, const QString& name)
    {
        const QSize size = ui::ImageSize(image);
        Make(number, ControlKind::Image, parent, QRect(x, y, size.width(), size.height()), QString(), name);
        ui::SetImage(number, image);
    }
    bool Ok() const { return ok_; }

private:
    bool ok_ = true;
};

void AddFileListColumns(int64_t list, bool withLink)
{
    ui::AddListColumn(list, QString(), S(96));
    ui::AddListColumn(list, QStringLiteral("Name"), 0);
    ui::AddListColumn(list, QStringLiteral("Description"), 0);
    if (withLink)
        ui::AddListColumn(list, QStringLiteral("Link"), 0);
}

void MakeDayTab(Builder& b, int page, int64_t header, int64_t logo, int64_t list, const QString& prefix)
{
    const Parent tab{ui::no::ContentTabs, page};
    b.Make(header, ControlKind::HeaderList, tab, QRect(0, 0, 0, S(27)), QString(), prefix + QStringLiteral("Header"));
    AddFileListColumns(header, false);
    ui::SetEnabled(header, false);
    // The logo sits over the header bar but belongs to the page: a widget
    // placed inside a list is out of reach of screen readers.
    b.Make(logo, ControlKind::Image, tab, QRect(3, 2, 80, 16), QString(), prefix + QStringLiteral("HeaderLogo"));
    ui::SetImage(logo, ImageId::HeaderLogo);
    ui::SetEnabled(logo, false); // greyed like the disabled header it sits on
    b.Make(list, ControlKind::List, tab, QRect(1, S(28), 0, 0), QString(), prefix + QStringLiteral("List"));
    AddFileListColumns(list, true);
    ui::SetBorder(list, QStringLiteral("none"));
}

} // namespace

QString MainWindowCaption()
{
    return runtime::AppTitle + QStringLiteral(" v") + runtime::AppVersion + QStringLiteral("  |  ") +
           runtime::SiteDisplayName;
}

void ShowMainWindow()
{
    if (ui::IsMinimized(ui::no::MainWindow))
        ui::ShowNormal(ui::no::MainWindow);
    else
        ui::ShowWindow(ui::no::MainWindow);
    ui::BringToFront(ui::no::MainWindow);
}

bool CreateMainWindow()
{
    const settings::AppSettings& s = settings::Settings;
    if (!ui::CreateWindow(ui::no::MainWindow, MainWindowCaption(), ui::WindowStyle::Main,
                          QRect(0, 0, static_cast<int>(s.App_W), static_cast<int>(s.App_H))))
        return false;
    // The settings keep the outer position and the inner size.
    ui::Move(ui::no::MainWindow, static_cast<int>(s.App_X), static_cast<int>(s.App_Y));
    return true;
}

bool CreateRefreshingWindow()
{
    const QRect main = ui::OuterGeometry(ui::no::MainWindow);
    const int w = S(450);
    const int h = S(100);
    const QRect rect(main.x() + (main.width() - w) / 2, main.y() + (main.height() - h) / 2, w, h);
    if (!ui::CreateWindow(ui::no::RefreshingWindow, QString(), ui::WindowStyle::Popup, rect, ui::no::MainWindow))
        return false;
    Builder b;
    b.Make(ui::no::RefreshingText, ControlKind::Label, Parent{ui::no::RefreshingWindow}, QRect(0, 0, w, h), QString(),
           QStringLiteral("RefreshingText"));
    b.Image(ui::no::RefreshingIcon, Parent{ui::no::RefreshingWindow}, 40, 33, ImageId::RefreshWindowIcon,
            QStringLiteral("RefreshingIcon"));
    ui::SetAlignment(ui::no::RefreshingText, Qt::AlignCenter);
    ui::Raise(ui::no::RefreshingIcon);
    return b.Ok();
}

QString AppsButtonText()
{
    if (runtime::UpdaterUnsupported.load() == 1)
        return QStringLiteral("(App updates unavailable)");
    if (runtime::UpdaterAvailable.load() == 1)
        return QStringLiteral("Check for updates for your installed apps");
    return QStringLiteral("Go to the Microsoft Store");
}

QString AppsNoticeText()
{
    if (runtime::UpdaterUnsupported.load() == 1)
        return QStringLiteral("Updating apps requires Windows 10 or 11, so you can't do them on this PC. Sorry!");
    if (runtime::UpdaterAvailable.load() == 1)
        return RiskNotice;
    return QStringLiteral("Microsoft App Installer was not found. You will need to install this from the Microsoft "
                          "Store for software updates to work. Also please note that software updates will only "
                          "work on Windows 10 and 11.");
}

bool CreateMainWindowControls()
{
    using namespace ui::no;
    const Parent main{MainWindow};
    const QString site = runtime::SiteDisplayName;
    Builder b;

    if (runtime::OsVersionCode >= 110)
        runtime::UpdaterAvailable = runtime::FileSize(runtime::WingetPath) >= 0 ? 1 : 0;
    else
        runtime::UpdaterUnsupported = 1;

    b.Image(VisitSiteImage, main, S(8), S(7), ImageId::SiteLogo, QStringLiteral("VisitSiteImage"));
    ui::SetTooltip(VisitSiteImage, QStringLiteral("Visit ") + site);
    b.Image(DonateImage, main, S(62), S(11), ImageId::Donate, QStringLiteral("DonateImage"));
    ui::SetTooltip(DonateImage, QStringLiteral("Make a donation (thank you!)"));
    b.Image(SettingsImage, main, S(108), S(11), ImageId::Settings, QStringLiteral("SettingsImage"));
    ui::SetTooltip(SettingsImage, QStringLiteral("Settings"));
    b.Image(RefreshImage, main, S(153), S(11), ImageId::Refresh, QStringLiteral("RefreshImage"));
    ui::SetTooltip(RefreshImage, QStringLiteral("Refresh now (F5)"));
    ui::Raise(RefreshImage);
    b.Make(WinkImage, ControlKind::Image, main, QRect(0, S(11), S(32), S(32)), QString(), QStringLiteral("WinkImage"));
    ui::SetImage(WinkImage, ImageId::WinkA);

    b.Make(SearchBox, ControlKind::Edit, main, QRect(0, S(16), S(267), S(26)), QString(), QStringLiteral("SearchBox"));
    ui::SetCueText(SearchBox, QStringLiteral("Search ") + site);
    ui::SetFont(SearchBox, ui::FontKind::Italic);
    b.Make(SearchButton, ControlKind::ImageButton, main, QRect(0, S(17), S(24), S(24)), QString(),
           QStringLiteral("SearchButton"));
    ui::SetImage(SearchButton, ImageId::Search);
    ui::SetTooltip(SearchButton, QStringLiteral("Search ") + site + QStringLiteral(" for your text"));

    b.Make(ContentTabs, ControlKind::Tabs, main, QRect(S(10), S(60), 0, 0), QString(), QStringLiteral("ContentTabs"));
    ui::AddTab(ContentTabs, QStringLiteral("Today"), ImageId::TabToday);
    ui::AddTab(ContentTabs, QStringLiteral("Yesterday"), ImageId::TabYesterday);
    ui::AddTab(ContentTabs, QStringLiteral("Installed Apps"), ImageId::TabInstalledApps);
    b.Make(TabStripLine, ControlKind::Label, main, QRect(S(15), S(83), 0, S(2)), QString(),
           QStringLiteral("TabStripLine"));
    ui::Raise(TabStripLine);

    MakeDayTab(b, 0, TodayHeader, TodayHeaderLogo, TodayList, QStringLiteral("Today"));
    MakeDayTab(b, 1, YesterdayHeader, YesterdayHeaderLogo, YesterdayList, QStringLiteral("Yesterday"));

    const Parent apps{ContentTabs, 2};
    b.Make(AppsList, ControlKind::ListWithHeader, apps, QRect(0, 0, 0, 0), QString(), QStringLiteral("AppsList"));
    ui::AddListColumn(AppsList, QStringLiteral("App name"), S(250));
    ui::AddListColumn(AppsList, QStringLiteral("Current version"), S(150));
    ui::AddListColumn(AppsList, QStringLiteral("Available version"), S(150));
    ui::AddListColumn(AppsList, QStringLiteral("ID"), 0);
    ui::AddListColumn(AppsList, QStringLiteral("Update?"), 0);
    b.Make(AppsCheckButton, ControlKind::PushButton, apps, QRect(0, 0, S(294 - 30), S(28)), AppsButtonText(),
           QStringLiteral("AppsCheckButton"));
    ui::SetEnabled(AppsCheckButton, runtime::UpdaterUnsupported.load() != 1);
    b.Make(ControlPanelButton, ControlKind::ImageButton, apps, QRect(0, 0, S(29), S(28)), QString(),
           QStringLiteral("ControlPanelButton"));
    ui::SetImage(ControlPanelButton, ImageId::ControlPanel);
    ui::SetTooltip(ControlPanelButton, QStringLiteral("Uninstall or change programs in Control Panel"));
    b.Make(AppsInfoBox, ControlKind::RichText, apps, QRect(0, S(29), S(294), 0), AppsNoticeText(),
           QStringLiteral("AppsInfoBox"));
    b.Make(SelectUpdatesButton, ControlKind::PushButton, apps, QRect(0, 0, S(190), S(25)),
           QStringLiteral("Select all apps with updates"), QStringLiteral("SelectUpdatesButton"));
    ui::SetEnabled(SelectUpdatesButton, false);
    b.Make(StartUpdatesButton, ControlKind::PushButton, apps, QRect(0, 0, S(103), S(25)),
           QStringLiteral("Start updates"), QStringLiteral("StartUpdatesButton"));
    ui::SetEnabled(StartUpdatesButton, false);

    b.Make(FilterLabel, ControlKind::Label, main, QRect(0, S(63), S(40), S(20)), QStringLiteral("Filter:"),
           QStringLiteral("FilterLabel"));
    ui::Raise(FilterLabel);
    b.Make(FilterBox, ControlKind::Edit, main, QRect(0, S(59), S(250), S(24)), QString(), QStringLiteral("FilterBox"));
    ui::Raise(FilterBox);
    b.Make(PlatformCombo, ControlKind::ImageCombo, main, QRect(0, S(59), S(42), S(24)), QString(),
           QStringLiteral("PlatformCombo"));
    for (const ImageId icon : {ImageId::PlatformAll, ImageId::PlatformWindows, ImageId::PlatformLinux,
                               ImageId::PlatformMacOS, ImageId::PlatformAndroid})
        ui::AddComboItem(PlatformCombo, QString(), icon);
    ui::Raise(PlatformCombo);

    b.Image(PictureImage, main, S(10), 0, ImageId::RefreshingPicture, QStringLiteral("PictureImage"));
    b.Make(NewsTabs, ControlKind::Tabs, main, QRect(S(272), 0, 0, S(248)), QString(), QStringLiteral("NewsTabs"));
    ui::AddTab(NewsTabs, QStringLiteral("News"), ImageId::TabNews);
    ui::AddTab(NewsTabs, QStringLiteral("Articles"), ImageId::TabArticles);
    for (const auto& [list, page, name] :
         {std::tuple{NewsList, 0, "NewsList"}, std::tuple{ArticlesList, 1, "ArticlesList"}}) {
        b.Make(list, ControlKind::List, Parent{NewsTabs, page}, QRect(1, 1, 0, 0), QString(), QLatin1StringView(name));
        ui::AddListColumn(list, QString(), 0);
        ui::AddListColumn(list, QStringLiteral("Link"), 0);
        ui::SetBorder(list, QStringLiteral("none"));
    }
    b.Make(NewsTabLine, ControlKind::Label, main, QRect(S(272), 0, 0, S(2)), QString(), QStringLiteral("NewsTabLine"));
    ui::Raise(NewsTabLine);
    b.Make(ProductCaption, ControlKind::Label, main, QRect(0, 0, 0, S(20)), runtime::AppTitle + u' ',
           QStringLiteral("ProductCaption"));
    ui::SetFont(ProductCaption, ui::FontKind::Italic);
    ui::SetAlignment(ProductCaption, Qt::AlignRight | Qt::AlignVCenter);
    ui::Raise(ProductCaption);
    b.Make(StatusLine, ControlKind::Label, main, QRect(0, 0, 0, S(24)), QString(), QStringLiteral("StatusLine"));
    ui::SetBorder(StatusLine, QStringLiteral("thin"));
    ui::SetAlignment(StatusLine, Qt::AlignLeft | Qt::AlignVCenter);
    return b.Ok();
}

} // namespace app
