#include "app/content_refresh.h"

#include "app/shell_state.h"
#include "app/day_lists.h"
#include "app/news_lists.h"
#include "app/picture_of_the_day.h"
#include "app/refresh_schedule.h"
#include "app/refreshing_window.h"
#include "app/settings_window.h"
#include "app/status_line.h"
#include "app/tray.h"
#include "app/window_layout.h"
#include "content/channel_scraper.h"
#include "content/day_scraper.h"
#include "runtime/app_identity.h"
#include "runtime/clock.h"
#include "runtime/dates.h"
#include "runtime/display_metrics.h"
#include "runtime/event_queue.h"
#include "runtime/http_transfer.h"
#include "runtime/process_state.h"
#include "settings/app_settings.h"
#include "ui/control_numbers.h"
#include "ui/controls.h"
#include "ui/list_control.h"
#include "ui/tab_control.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace app {

void RefreshContent(bool fetch)
{
    using namespace ui::id;
    if (!fetch) {
        RescanDayLists();
        return;
    }
    ui::ClearRows(TodayList);
    ui::ClearRows(YesterdayList);
    if (runtime::SettingsOpen.load() == 1)
        CloseSettingsWindow();
    AlertPopupShown = false;
    LatestHeadline.clear();
    const QString busyCaption = runtime::BusyText + QStringLiteral("  ");
    runtime::ContentRefreshBusy = 1;
    const int64_t pictureWasBusy = PictureWorkerBusy.load();
    ui::SetState(ContentTabs, ui::tab::Today);
    CurrentTab = ui::tab::Today;
    LastSeenTab = ui::tab::Today;
    ShowListSummary(ui::tab::Today);
    StartTrayBusyAnimation();
    SetStatusText(QStringLiteral("Refreshing ziby content for today and yesterday..."), false);
    ui::ClearRows(NewsList);
    ui::ClearRows(ArticlesList);
    ui::SetTabCaption(ContentTabs, ui::tab::Today, busyCaption);
    ui::SetTabCaption(ContentTabs, ui::tab::Yesterday, busyCaption);
    ui::SetText(ProductCaption, runtime::BusyText + u' ');
    LayoutHeaderRow();
    const bool startingUp = runtime::GuiReady.load() == 0;
    if (startingUp || settings::Settings.Refresh_Picture == 1)
        ui::SetImage(PictureImage, ui::ImageId::RefreshingPicture);
    ShowRefreshingWindow(QStringLiteral("Refreshing ziby content..."));
    runtime::DrainEvents();
    ui::SetCursor(ui::CursorShape::Wait);

    const content::DayPage page = content::TakeDayPage(runtime::FetchPageText(runtime::SiteBaseUrl()));
    SitePhrase = page.sitePhrase;
    DayPageText = page.dayPageText;
    ui::SetText(ProductCaption, SitePhrase + u' ');

    if (pictureWasBusy == 0 && (startingUp || settings::Settings.Refresh_Picture == 1))
        StartPictureWorker();

    ScrapeDayLists();

    runtime::DrainEvents();
    ScrapeChannel(NewsList, content::NewsChannelPath);
    runtime::DrainEvents();
    ScrapeChannel(ArticlesList, content::ArticlesChannelPath);
    runtime::DrainEvents();
    ui::SetCursor(ui::CursorShape::Hand);
    ShowRefreshingWindow(QString());
    LayoutHeaderRow();
    runtime::ContentRefreshBusy = 0;
    ShowRestingTrayTooltip();
    UpdateRefreshTooltip();
    ShowScrapeOutcome();
    ShowAlertPopup();
}

} // namespace app
