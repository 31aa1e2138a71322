#include "app/news_lists.h"

#include "app/shell_state.h"
#include "content/channel_scraper.h"
#include "runtime/app_identity.h"
#include "runtime/event_queue.h"
#include "runtime/http_transfer.h"
#include "ui/control_numbers.h"
#include "ui/controls.h"
#include "ui/list_control.h"

namespace app {

namespace {

ui::ImageId ImageOf(content::NewsIcon icon)
{
    using content::NewsIcon;
    switch (icon) {
    case NewsIcon::NewsExclamation:
        return ui::ImageId::NewsExclamation;
    case NewsIcon::NewsVideo:
        return ui::ImageId::NewsVideo;
    case NewsIcon::News:
        return ui::ImageId::TabNews;
    case NewsIcon::ArticleExclamation:
        return ui::ImageId::ArticleExclamation;
    case NewsIcon::ArticleVideo:
        return ui::ImageId::ArticleVideo;
    case NewsIcon::HowTo:
        return ui::ImageId::HowTo;
    case NewsIcon::WhatIs:
        return ui::ImageId::WhatIs;
    case NewsIcon::Article:
        return ui::ImageId::Article;
    }
    return ui::ImageId::Article;
}

} // namespace

void ScrapeChannel(int64_t list, const QString& path)
{
    runtime::DrainEvents();
    ui::SuspendDrawing(list);
    ui::SetCursor(ui::CursorShape::Wait);
    const content::ChannelList kind =
        list == ui::id::NewsList ? content::ChannelList::News : content::ChannelList::Articles;
    const QString baseUrl = runtime::SiteBaseUrl();
    const std::vector<content::NewsItem> items =
        content::ScanChannel(runtime::FetchPageText(baseUrl + path), kind, baseUrl);
    QList<QString> rows;
    QList<ui::ImageId> images;
    for (const content::NewsItem& item : items) {
        rows << content::NewsRowText(item);
        images << ImageOf(item.icon);
    }
    ui::AddRows(list, rows, images);
    if (kind == content::ChannelList::News && LatestHeadline.isEmpty())
        LatestHeadline = content::LatestHeadlineOf(items);
    ui::ResumeDrawing(list);
}

} // namespace app
