#include "app/content_refresh.h"

#include "app/content_state.h"
#include "app/day_lists.h"
#include "app/news_lists.h"
#include "app/picture_of_the_day.h"
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
#include "ui/tray_icon.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace app {

QString RefreshTooltipText(int64_t refreshRate, const QString& nextTime)
{
    QString tip = QStringLiteral("Refresh now (F5)");
    if (refreshRate > 0)
        tip += QStringLiteral("; or next auto-refresh at ") + nextTime;
    return tip;
}

bool AutoRefreshDue(int64_t refreshRate, int64_t nextRefreshTime, int64_t nowMs)
{
    return refreshRate > 0 && nextRefreshTime < nowMs;
}

int32_t LoopWaitMs(int64_t refreshRate, int64_t nextRefreshTime, int64_t nowMs)
{
    if (refreshRate <= 0)
        return -1;
    if (AutoRefreshDue(refreshRate, nextRefreshTime, nowMs))
        return 0;
    // Due once the clock has passed the deadline, hence the one more.
    return static_cast<int32_t>(std::min<int64_t>(nextRefreshTime - nowMs + 1, INT32_MAX));
}

void UpdateRefreshTooltip()
{
    const int64_t rate = settings::Settings.Refresh_Rate;
    QString next;
    if (rate > 0) {
        runtime::NextRefreshTime = runtime::ElapsedMs() + rate * 60000;
        next = runtime::DateFormat(QStringLiteral("%hh:%ii:%ss"), runtime::DateAddMinutes(runtime::DateNow(), rate));
    }
    ui::SetTooltip(ui::id::RefreshImage, RefreshTooltipText(rate, next));
}

void ShowRefreshingWindow(const QString& text, std::optional<ui::ImageId> icon)
{
    using namespace ui::id;
    if (text.isEmpty()) {
        ui::HideWindow(RefreshingWindow);
        ui::SetEnabled(MainWindow, true);
        return;
    }
    if (!ui::IsVisible(MainWindow) || ui::IsMinimized(MainWindow))
        return; // a refresh from the tray shows no window
    ui::SetImage(RefreshingIcon, icon.value_or(ui::ImageId::RefreshWindowIcon));
    ui::SetText(RefreshingText, text);
    const settings::AppSettings& s = settings::Settings;
    const double scale = runtime::Display.uiScale;
    const int x = static_cast<int>(std::nearbyint(s.App_X + (s.App_W - 450 * scale) * 0.5));
    const int y = static_cast<int>(std::nearbyint(s.App_Y + (s.App_H - 100 * scale) * 0.5));
    ui::Move(RefreshingWindow, x, y);
    ui::ShowWindow(RefreshingWindow);
    ui::Raise(RefreshingWindow);
    ui::SetEnabled(MainWindow, false);
}

void RefreshContent(bool fetch)
{
    using namespace ui::id;
    ui::ClearRows(TodayList);
    ui::ClearRows(YesterdayList);
    int64_t pictureWasBusy = 0;
    if (fetch) {
        if (runtime::SettingsOpen.load() == 1)
            CloseSettingsWindow();
        AlertPopupShown = false;
        LatestHeadline.clear();
        const QString busyCaption = runtime::BusyText + QStringLiteral("  ");
        runtime::ContentRefreshBusy = 1;
        pictureWasBusy = PictureWorkerBusy.load();
        ui::SetState(ContentTabs, 0);
        CurrentTab = 0;
        LastSeenTab = 0;
        ShowListSummary(0);
        StartTrayBusyAnimation();
        SetStatusText(QStringLiteral("Refreshing ziby content for today and yesterday..."), false);
        ui::ClearRows(NewsList);
        ui::ClearRows(ArticlesList);
        ui::SetTabCaption(ContentTabs, 0, busyCaption);
        ui::SetTabCaption(ContentTabs, 1, busyCaption);
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
    }

    ScrapeDayLists();
    if (!fetch)
        return;

    runtime::DrainEvents();
    ScrapeChannel(NewsList, content::NewsChannelPath);
    runtime::DrainEvents();
    ScrapeChannel(ArticlesList, content::ArticlesChannelPath);
    runtime::DrainEvents();
    ui::SetCursor(ui::CursorShape::Hand);
    ShowRefreshingWindow(QString());
    LayoutHeaderRow();
    runtime::ContentRefreshBusy = 0;
    ui::TraySetTooltip(TrayIcon, LatestHeadline.isEmpty() ? runtime::AppTitle : LatestHeadline);
    UpdateRefreshTooltip();
    ShowScrapeOutcome();
    ShowAlertPopup();
}

} // namespace app
