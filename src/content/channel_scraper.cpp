#include "content/channel_scraper.h"

#include "content/site_links.h"
#include "content/text_cleanup.h"
#include "runtime/text_positions.h"

namespace content {

namespace {

using runtime::Find;
using runtime::From;
using runtime::Left;

const QString ChannelStart = QStringLiteral("<!-- Template: news_channels_channel_rss -->");
const QString ChannelEndLine = QStringLiteral("<!-- Template: news_channels_archive -->");
const QString ItemLinePrefix = QStringLiteral("&middot; <a href=\"");
const QString LineBreak = QStringLiteral("\r\n");

bool EndsWithVideo(const QString& title)
{
    return title.right(8).toLower() == u" (video)";
}

NewsItem ScanItemLine(const QString& line, ChannelList list, const QString& baseUrl)
{
    NewsItem item;
    item.title = StripTags(ExtractBetween(line, QStringLiteral("\">"), QStringLiteral("</a>")));
    BlankControlCharacters(item.title);
    item.link = ExtractBetween(line, ItemLinePrefix, QStringLiteral("\""));
    if (Left(item.link, 4).toLower() != u"http")
        item.link = JoinOnSite(baseUrl, item.link); // no link rather than one that leaves the site
    BlankControlCharacters(item.link);
    item.icon = ChannelIcon(list, item.title);
    return item;
}

} // namespace

NewsIcon ChannelIcon(ChannelList list, const QString& title)
{
    if (list == ChannelList::News) {
        if (title.contains(u'!'))
            return NewsIcon::NewsExclamation;
        if (EndsWithVideo(title))
            return NewsIcon::NewsVideo;
        return NewsIcon::News;
    }
    if (title.contains(u'!'))
        return NewsIcon::ArticleExclamation;
    if (EndsWithVideo(title))
        return NewsIcon::ArticleVideo;
    if (Left(title, 7).toLower() == u"how to ")
        return NewsIcon::HowTo;
    if (Left(title, 8).toLower() == u"what is ")
        return NewsIcon::WhatIs;
    return NewsIcon::Article;
}

QString NewsRowText(const NewsItem& item)
{
    return QStringLiteral(" ") + item.title + QChar(u'\n') + item.link;
}

std::vector<NewsItem> ScanChannel(const QString& page, ChannelList list, const QString& baseUrl)
{
    // One character more than the marker is skipped (without the marker, the
    // first 44 characters go). When that character is the CR of a line break,
    // its LF goes too: left behind, it would glue itself to the next line, and
    // an item line right after the marker would be lost.
    qsizetype start = Find(page, ChannelStart) + ChannelStart.size() + 1;
    if (page.mid(start - 2, LineBreak.size()) == LineBreak)
        ++start;
    const QString body = From(page, start);
    std::vector<NewsItem> items;
    qsizetype lineStart = 0;
    while (lineStart <= body.size()) {
        qsizetype lineEnd = body.indexOf(LineBreak, lineStart);
        if (lineEnd < 0)
            lineEnd = body.size();
        const QString line = CleanLine(body.mid(lineStart, lineEnd - lineStart));
        if (Left(line, ItemLinePrefix.size()) == ItemLinePrefix)
            items.push_back(ScanItemLine(line, list, baseUrl));
        else if (line == ChannelEndLine)
            break;
        lineStart = lineEnd + LineBreak.size();
    }
    return items;
}

QString LatestHeadlineOf(const std::vector<NewsItem>& newsItems)
{
    for (const NewsItem& item : newsItems) {
        if (!item.title.isEmpty())
            return item.title;
    }
    return QString();
}

} // namespace content
