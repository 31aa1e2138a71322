#include "content/channel_scraper.h"

#include "support/qstring_print.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

using content::ChannelList;
using content::NewsIcon;
using content::NewsItem;

const QString Base = QStringLiteral("https://site.test");
const QString Start = QStringLiteral("<!-- Template: news_channels_channel_rss -->");
const QString End = QStringLiteral("<!-- Template: news_channels_archive -->");

QString ItemLine(const QString& link, const QString& title)
{
    return QStringLiteral("&middot; <a href=\"") + link + QStringLiteral("\">") + title + QStringLiteral("</a><br>");
}

// A channel page as the site sends it: a head, the channel marker, the given
// lines, the end line and an archive part that must never be read.
QString ChannelPage(const QStringList& lines)
{
    QStringList all = {QStringLiteral("<html><head><title>News</title></head>"), Start};
    all += lines;
    all += End;
    all += ItemLine(QStringLiteral("/archive.html"), QStringLiteral("Archived"));
    return all.join(QStringLiteral("\r\n"));
}

TEST(ChannelIcon, FirstRuleThatApplies)
{
    const struct
    {
        const char* what;
        ChannelList list;
        const char* title;
        NewsIcon icon;
    } rows[] = {
        {"\"!\" before video", ChannelList::News, "Big news! Patch out (video)", NewsIcon::NewsExclamation},
        {"video: case ignored", ChannelList::News, "Patch out (Video)", NewsIcon::NewsVideo},
        {"video: exactly the 8 characters", ChannelList::News, " (VIDEO)", NewsIcon::NewsVideo},
        {"no space before it", ChannelList::News, "(video)", NewsIcon::News},
        {"only at the end", ChannelList::News, "Patch (video) out", NewsIcon::News},
        {"how-to is articles only", ChannelList::News, "How to patch", NewsIcon::News},
        {"empty news title", ChannelList::News, "", NewsIcon::News},
        {"video before how-to", ChannelList::Articles, "How To Fix Your PC (Video)", NewsIcon::ArticleVideo},
        {"\"!\" first of all", ChannelList::Articles, "How to fix it!", NewsIcon::ArticleExclamation},
        {"how-to: case ignored", ChannelList::Articles, "HOW TO update", NewsIcon::HowTo},
        {"how-to needs the trailing space", ChannelList::Articles, "how to", NewsIcon::Article},
        {"what-is at the start", ChannelList::Articles, "What is a VPN?", NewsIcon::WhatIs},
        {"only the start counts", ChannelList::Articles, "what is how to ", NewsIcon::WhatIs},
        {"not at the start", ChannelList::Articles, "Somewhat is odd", NewsIcon::Article},
        {"titles are not trimmed", ChannelList::Articles, "  How to indent", NewsIcon::Article},
        {"empty article title", ChannelList::Articles, "", NewsIcon::Article},
    };
    for (const auto& r : rows)
        EXPECT_EQ(content::ChannelIcon(r.list, QString::fromUtf8(r.title)), r.icon) << r.what;
}

TEST(NewsRowText, TitleThenLinkOnTheirOwnColumns)
{
    EXPECT_EQ(content::NewsRowText({QStringLiteral("Title"), QStringLiteral("https://x/a"), NewsIcon::News}),
              QStringLiteral(" Title\nhttps://x/a"));
    EXPECT_EQ(content::NewsRowText({}), QStringLiteral(" \n"));
}

TEST(ScanChannel, LinksAndTitles)
{
    const struct
    {
        const char* what;
        QString line;
        QString title;
        QString link;
    } rows[] = {
        {"site path gets the base", ItemLine("/news/1.html", "One"), "One", Base + "/news/1.html"},
        {"absolute address kept", ItemLine("https://other.test/a", "A"), "A", "https://other.test/a"},
        {"HTTP in capitals kept", ItemLine("HTTP://other.test/b", "B"), "B", "HTTP://other.test/b"},
        {"other scheme joined off the site: no link", ItemLine("ftp://x/c", "C"), "C", ""},
        {"path without slash joined into the host name: no link", ItemLine("news/2.html", "Two"), "Two", ""},
        {"user part turning the site into a login: no link", ItemLine("@evil.example/x", "E"), "E", ""},
        {"port joined onto the site: no link", ItemLine(":8080/x", "P"), "P", ""},
        {"line breaks in a title stay in its cell", ItemLine("/n", "Foo&#10;Fake&#13;"), "Foo Fake ", Base + "/n"},
        {"tags and entities", ItemLine("/t", "<b>Foo</b> &amp; &quot;Bar&quot; caf&#233;"), "Foo & \"Bar\" caf\u00e9",
         Base + "/t"},
        {"title not trimmed", ItemLine("/s", "  Spaced  "), "  Spaced  ", Base + "/s"},
        {"leading spaces and <br> cleaned", "   <br>" + ItemLine("/c", "Clean"), "Clean", Base + "/c"},
        {"leading <br /> cleaned", "<br />" + ItemLine("/d", "D"), "D", Base + "/d"},
        {"cut line: no quote after link", "&middot; <a href=\"/news/cut.ht", "", Base},
        {"empty link", ItemLine("", "Nowhere"), "Nowhere", Base},
    };
    for (const auto& r : rows) {
        const std::vector<NewsItem> items = content::ScanChannel(ChannelPage({r.line}), ChannelList::News, Base);
        ASSERT_EQ(items.size(), 1u) << r.what;
        EXPECT_EQ(items[0].title, r.title) << r.what;
        EXPECT_EQ(items[0].link, r.link) << r.what;
    }
}

TEST(ScanChannel, WhichLinesAreItems)
{
    const QString a = ItemLine("/a", "A");
    const QString b = ItemLine("/b", "B");
    const struct
    {
        const char* what;
        QString page;
        QStringList titles;
    } rows[] = {
        {"items in page order", ChannelPage({a, "<p>other</p>", "", b}), {"A", "B"}},
        {"item on the line right after the marker", Start + "\r\n" + a, {"A"}},
        {"marker, one character, item on the same line", Start + " " + a, {"A"}},
        {"marker, item on the same line: its first character goes", Start + a, {}},
        {"stops at the end line", ChannelPage({a}), {"A"}},
        {"end line with spaces still ends", ChannelPage({a, "  " + End + "  ", b}), {"A"}},
        {"end line inside a line does not end", ChannelPage({a, "x" + End, b}), {"A", "B"}},
        {"<br><br> leaves one <br>: no item", ChannelPage({"<br><br>" + a, b}), {"B"}},
        {"prefix in other case: no item", ChannelPage({"&MIDDOT; <a href=\"/x\">X</a>", b}), {"B"}},
        {"items before the marker are skipped", a + "\r\n" + ChannelPage({b}), {"B"}},
        {"empty page", "", {}},
        {"error page without markers", "<html><body><h1>Not Found</h1></body></html>", {}},
        // Without the marker only the first 44 characters go; the rest is read.
        {"no marker: first 44 characters dropped", QString(44, u'x') + "\r\n" + a + "\r\n" + End, {"A"}},
        {"no marker: an item in the first 44 characters is lost", a + QString(20, u' ') + "\r\n" + b, {"B"}},
        {"no end line: reads to the last line", Start + "\r\n" + a + "\r\n" + b, {"A", "B"}},
        // Lines end with CR LF only: a page with bare LF or CR is one long line,
        // of which only the first item is seen.
        {"LF-only lines", Start + "\n" + a + "\n" + b + "\n" + End, {"A"}},
        {"CR-only lines", Start + "\r" + a + "\r" + b + "\r" + End, {"A"}},
        {"LF-only before the first item", Start + "\r\n<ul>\n" + a + "\n" + b, {}},
        {"zero byte inside a title becomes a blank",
         ChannelPage({ItemLine("/z", QString("Z") + QChar(0) + "z")}),
         {QString("Z z")}},
        {"marker at the very end", "head" + Start, {}},
    };
    for (const auto& r : rows) {
        QStringList titles;
        for (const NewsItem& item : content::ScanChannel(r.page, ChannelList::Articles, Base))
            titles += item.title;
        EXPECT_EQ(titles, r.titles) << r.what;
    }
}

TEST(ScanChannel, IconsFollowTheList)
{
    const QString page = ChannelPage({ItemLine("/1", "Alert!"), ItemLine("/2", "How to start")});
    const std::vector<NewsItem> news = content::ScanChannel(page, ChannelList::News, Base);
    const std::vector<NewsItem> articles = content::ScanChannel(page, ChannelList::Articles, Base);
    ASSERT_EQ(news.size(), 2u);
    ASSERT_EQ(articles.size(), 2u);
    EXPECT_EQ(news[0].icon, NewsIcon::NewsExclamation);
    EXPECT_EQ(news[1].icon, NewsIcon::News);
    EXPECT_EQ(articles[0].icon, NewsIcon::ArticleExclamation);
    EXPECT_EQ(articles[1].icon, NewsIcon::HowTo);
}

TEST(ScanChannel, HugeLinesAndManyItems)
{
    const QString longTitle(1 << 20, u't');
    QStringList lines = {ItemLine("/long", longTitle)};
    for (int i = 0; i < 5000; ++i)
        lines += ItemLine(QStringLiteral("/n/%1").arg(i), QStringLiteral("N%1").arg(i));
    const std::vector<NewsItem> items = content::ScanChannel(ChannelPage(lines), ChannelList::News, Base);
    ASSERT_EQ(items.size(), 5001u);
    EXPECT_EQ(items[0].title, longTitle);
    EXPECT_EQ(items[5000].link, Base + "/n/4999");
    // A line of a million characters with a cut prefix is no item and no end.
    const QString noise = QStringLiteral("&middot; <a hre") + QString(1 << 20, u'"');
    EXPECT_TRUE(content::ScanChannel(ChannelPage({noise}), ChannelList::News, Base).empty());
}

TEST(LatestHeadlineOf, FirstNewsTitle)
{
    const NewsItem first{QStringLiteral("First"), Base, NewsIcon::News};
    const NewsItem second{QStringLiteral("Second"), Base, NewsIcon::News};
    const NewsItem untitled{QString(), Base, NewsIcon::News};
    const struct
    {
        const char* what;
        std::vector<NewsItem> items;
        QString headline;
    } rows[] = {
        {"first of several", {first, second}, "First"},
        {"no items (failed fetch)", {}, ""},
        {"an untitled first item is passed over", {untitled, second}, "Second"},
        {"only untitled items", {untitled}, ""},
    };
    for (const auto& r : rows)
        EXPECT_EQ(content::LatestHeadlineOf(r.items), r.headline) << r.what;
}

} // namespace
