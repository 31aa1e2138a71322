#include "content/site_search.h"

#include "support/qstring_print.h"
#include "runtime/app_identity.h"

#include <QUrl>
#include <QUrlQuery>

#include <gtest/gtest.h>

namespace {

const QString Base = QStringLiteral("https://www.zorvane.com");

std::optional<QStringList> Row(std::initializer_list<QString> columns)
{
    return QStringList(columns);
}

} // namespace

TEST(SiteSearchUrl, TheSiteReceivesWhatWasTyped)
{
    const QString prefix = Base + QStringLiteral("/content/page/zv_search.html?cx=") + runtime::SiteSearchAccount +
                           QStringLiteral("&cof=FORID%3A10&ie=UTF-8&q=");
    const struct
    {
        const char* what;
        const char *query, *url;
    } rows[] = {
        {"spaces", "foo bar", "foo%20bar&sa=Search"},
        {"only spaces: still a search", "   ", "%20%20%20&sa=Search"},
        {"not trimmed", " a ", "%20a%20&sa=Search"},
        {"query syntax stays text", "C# & C++ a=b", "C%23%20%26%20C%2B%2B%20a%3Db&sa=Search"},
        {"a percent sign", "50%", "50%25&sa=Search"},
        {"non-ASCII as UTF-8", "\xc3\xa4", "%C3%A4&sa=Search"},
    };
    for (const auto& r : rows) {
        const QString typed = QString::fromUtf8(r.query);
        const QString url = content::SiteSearchUrl(Base, typed);
        EXPECT_EQ(url, prefix + QString::fromUtf8(r.url)) << r.what;
        // What the site takes out of the address the browser is given.
        const QUrlQuery query(QUrl(url, QUrl::TolerantMode));
        EXPECT_EQ(query.queryItemValue(QStringLiteral("q"), QUrl::FullyDecoded), typed) << r.what;
        EXPECT_EQ(query.queryItemValue(QStringLiteral("sa")), QStringLiteral("Search")) << r.what;
    }
    EXPECT_TRUE(content::SiteSearchUrl(Base, QString()).isEmpty()); // empty: warn instead
    EXPECT_EQ(content::SiteSearchUrl(Base, QStringLiteral("x")),
              QStringLiteral("https://www.zorvane.com/content/page/zv_search.html?cx=partner-pub-0000000000000000%3A"
                             "zorvane&cof=FORID%3A10&ie=UTF-8&q=x&sa=Search"));
}

TEST(FileItemAction, StatusTextAndAddressPerListState)
{
    const auto selected = Row({QStringLiteral(" x"), QStringLiteral("Foo"), QStringLiteral("Does foo."),
                               QStringLiteral("https://h/d/foo.html")});
    const struct
    {
        const char* what;
        qsizetype rows;
        std::optional<QStringList> selected;
        bool opens;
        QString text, address;
    } rows[] = {
        {"a click shows the description", 3, selected, false, QStringLiteral("Does foo."), QString()},
        {"a double click opens the link", 3, selected, true, QStringLiteral("Does foo."),
         QStringLiteral("https://h/d/foo.html")},
        {"empty list: no-content text", 0, std::nullopt, true, runtime::NoContentText, QString()},
        {"empty list wins over a stale selection", 0, selected, true, runtime::NoContentText, QString()},
        {"nothing selected: the hint", 3, std::nullopt, true, runtime::HintText, QString()},
        {"row without link: nothing to open", 3,
         Row({QStringLiteral(" "), QStringLiteral("Foo"), QStringLiteral("D.")}), true, QStringLiteral("D."),
         QString()},
        {"row without columns", 3, Row({}), true, QString(), QString()},
    };
    for (const auto& r : rows) {
        const content::ItemAction a = content::FileItemAction(r.rows, r.selected, r.opens);
        EXPECT_EQ(a.statusText, r.text) << r.what;
        EXPECT_EQ(a.openAddress, r.address) << r.what;
    }
}

TEST(NewsItemAction, HintWhileSelectedElseReady)
{
    const QString hint = QStringLiteral("Double-click the selected item to read it at Zorvane.com.");
    const auto selected = Row({QStringLiteral("Headline"), QStringLiteral("https://h/news/1.html")});
    const struct
    {
        const char* what;
        qsizetype rows;
        std::optional<QStringList> selected;
        bool opens;
        QString text, address;
    } rows[] = {
        {"selected by keyboard", 2, selected, false, hint, QString()},
        {"double click opens", 2, selected, true, hint, QStringLiteral("https://h/news/1.html")},
        {"selection cleared", 2, std::nullopt, true, runtime::ReadyText, QString()},
        {"empty list", 0, selected, true, runtime::ReadyText, QString()},
        {"row without link", 1, Row({QStringLiteral("Headline")}), true, hint, QString()},
    };
    for (const auto& r : rows) {
        const content::ItemAction a = content::NewsItemAction(r.rows, r.selected, r.opens);
        EXPECT_EQ(a.statusText, r.text) << r.what;
        EXPECT_EQ(a.openAddress, r.address) << r.what;
    }
}
