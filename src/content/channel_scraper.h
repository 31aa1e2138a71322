#pragma once

#include <QString>

#include <vector>

namespace content {

// The site's two news channels become the rows of NewsList and ArticlesList.
// The scan is a pure function of the page text; the shell fetches the page.

/// Which list a channel fills; the icon rules differ between them.
enum class ChannelList {
    News,
    Articles,
};

/// The row icons of the two lists.
enum class NewsIcon {
    NewsExclamation,
    NewsVideo,
    News,
    ArticleExclamation,
    ArticleVideo,
    HowTo,
    WhatIs,
    Article,
};

/// One row of NewsList or ArticlesList.
struct NewsItem
{
    QString title;
    QString link; // absolute address
    NewsIcon icon = NewsIcon::News;

    bool operator==(const NewsItem&) const = default;
};

/// The channel paths under the site's base address.
inline const QString NewsChannelPath = QStringLiteral("/news/channels/news.html");
inline const QString ArticlesChannelPath = QStringLiteral("/news/channels/site_news.html");

/// The icon for `title` in `list`: the first rule that applies of "!",
/// ends with " (video)", and for articles starts with "how to " or
/// "what is " (letter case ignored).
NewsIcon ChannelIcon(ChannelList list, const QString& title);

/// The list row text: one space, the title, a line feed, the link
/// (column 0 shows the title, hidden column 1 holds the address).
QString NewsRowText(const NewsItem& item);

/// The items of a channel page, in page order. Lines end with CR LF; the scan
/// starts after the channel marker and stops at the channel end line. Links
/// not starting with "http" (any case) get `baseUrl` put before them.
/// Empty for an empty or unmarked page. Any thread.
std::vector<NewsItem> ScanChannel(const QString& page, ChannelList list, const QString& baseUrl);

/// The headline shown as the tray tooltip: the first non-empty title among
/// the news items, empty when there is none.
QString LatestHeadlineOf(const std::vector<NewsItem>& newsItems);

} // namespace content
