#include "content/picture_page.h"

#include "support/qstring_print.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

const QString Base = QStringLiteral("https://site.test");
const QString StoryList = QStringLiteral("<!-- Template: news_story -->");

QString Item(const QString& link)
{
    return QStringLiteral("&middot; <a href=\"") + link + QStringLiteral("\">Photo</a><br>");
}

TEST(FindPictureStoryUrl, FirstStoryAfterTheList)
{
    const struct
    {
        const char* what;
        QString page;
        QString url;
    } rows[] = {
        {"first item after the marker", "<html>\r\n" + StoryList + "\r\n" + Item("/s/1.html") + Item("/s/2.html"),
         Base + "/s/1.html"},
        {"item before the marker is passed over", Item("/old.html") + StoryList + "\r\n" + Item("/s/1.html"),
         Base + "/s/1.html"},
        {"always prefixed: an absolute address then leaves the site, so none",
         StoryList + "\r\n" + Item("https://x.test/s"), ""},
        {"a user part would make the site a login to another host", StoryList + "\r\n" + Item("@evil.example/x"), ""},
        {"whole text searched: LF-only lines", StoryList + "\n\n" + Item("/lf.html"), Base + "/lf.html"},
        {"no item at all", StoryList + "\r\n<p>nothing</p>", Base},
        {"empty page", "", Base},
        {"cut page: no quote after the address", StoryList + "\r\n&middot; <a href=\"/s/cut", Base},
        // Without the marker the first 29 characters go and the first item
        // after them is used.
        {"no marker", QString(29, u'x') + Item("/s/3.html"), Base + "/s/3.html"},
        {"no marker, item in the dropped head", Item("/s/4.html"), Base},
    };
    for (const auto& r : rows)
        EXPECT_EQ(content::FindPictureStoryUrl(r.page, Base), r.url) << r.what;
}

TEST(FindPictureTitle, BetweenTheTitleMarkers)
{
    const struct
    {
        const char* what;
        const char* page;
        const char* title;
    } rows[] = {
        {"plain", "<head><title>Random Photo: Sunset - Zorvane</title></head>", "Sunset"},
        {"entities and tags", "<title>Random Photo: <i>Sea</i> &amp; Sky&#33; - Zorvane</title>", "Sea & Sky!"},
        {"spaces kept", "<title>Random Photo:   Wide   - Zorvane</title>", "  Wide  "},
        {"first of two", "<title>Random Photo: A - Zorvane</title><title>Random Photo: B - Zorvane</title>", "A"},
        {"other title", "<title>Some Story - Zorvane</title>", ""},
        {"cut before the end marker", "<title>Random Photo: Sunset - Zorv", ""},
        {"empty", "", ""},
    };
    for (const auto& r : rows)
        EXPECT_EQ(content::FindPictureTitle(QString::fromUtf8(r.page)), QString::fromUtf8(r.title)) << r.what;
}

TEST(FindPictureImageUrl, SourceOfTheCentredImage)
{
    const struct
    {
        const char* what;
        const char* page;
        const char* url; // nullptr: none
    } rows[] = {
        {"plain", "<center><img src=\"https://img.test/p/1.jpg\" alt=\"x\"></center>", "https://img.test/p/1.jpg"},
        {"encoded for the download", "<center><img src=\"https://img.test/a b\xc3\xa9.jpg\">",
         "https://img.test/a%20b%C3%A9.jpg"},
        {"already encoded: encoded again", "<center><img src=\"https://img.test/a%20b.jpg\">",
         "https://img.test/a%2520b.jpg"},
        {"one-character address", "<center><img src=\"x\">", "x"},
        // The closing quote is looked for from the second address character:
        // an empty source takes in text up to the next quote.
        {"empty source with a later quote", "<center><img src=\"\" alt=\"y\">", "%22%20alt="},
        {"empty source, no later quote", "<center><img src=\"\">", nullptr},
        {"no closing quote (cut page)", "<center><img src=\"https://img.test/cut", nullptr},
        {"no marker", "<img src=\"https://img.test/p/1.jpg\">", nullptr},
        {"marker in other case", "<CENTER><img src=\"https://img.test/p/1.jpg\">", nullptr},
        {"empty page", "", nullptr},
    };
    for (const auto& r : rows) {
        const std::optional<QString> url = content::FindPictureImageUrl(QString::fromUtf8(r.page));
        ASSERT_EQ(url.has_value(), r.url != nullptr) << r.what;
        if (url) {
            EXPECT_EQ(*url, QString::fromUtf8(r.url)) << r.what;
        }
    }
}

TEST(PictureFormat, ToldBySignatureOnly)
{
    const struct
    {
        QByteArray head;
        const char* format;
        const char* what;
    } rows[] = {
        {QByteArray("\x89PNG\r\n\x1a\n\0\0", 10), "png", "PNG signature"},
        {QByteArray("\x89PNG\r\n\x1a"), "", "PNG signature cut short"},
        {QByteArray("\xff\xd8\xff\xe0"), "jpeg", "JPEG start of image"},
        {QByteArray("\xff\xd9"), "", "JPEG end marker first"},
        {QByteArray("GIF89a\x01\0"), "gif", "GIF 89a"},
        {QByteArray("GIF87a"), "gif", "GIF 87a"},
        {QByteArray("GIF88a"), "", "no such GIF"},
        {QByteArray("<svg xmlns"), "", "SVG is not a site picture"},
        {QByteArray("BM\x36\0"), "", "BMP is not a site picture"},
        {QByteArray(), "", "empty file"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(content::PictureFormat(r.head), QByteArray(r.format)) << r.what;
}

TEST(FitPicture, KeepsProportionsWithTruncation)
{
    constexpr int64_t Max = std::numeric_limits<int64_t>::max();
    const struct
    {
        const char* what;
        int side;
        int64_t width;
        int64_t height;
        content::PictureFit fit;
    } rows[] = {
        {"wide", 249, 1000, 500, {249, 124, 0, 62}},
        {"tall", 249, 500, 1000, {124, 249, 62, 0}},
        {"square", 249, 300, 300, {249, 249, 0, 0}},
        {"smaller than the box is enlarged", 249, 10, 5, {249, 124, 0, 62}},
        {"one pixel", 249, 1, 1, {249, 249, 0, 0}},
        {"thin line: height rounds to 0, stretched", 249, 1000, 1, {249, 249, 0, 0}},
        {"thin column: width rounds to 0, stretched", 249, 1, 1000, {249, 249, 0, 0}},
        {"just taller than wide", 249, 1000, 1005, {247, 249, 1, 0}},
        {"odd margin truncates", 10, 10, 7, {10, 7, 0, 1}},
        {"no box", 0, 1000, 500, {0, 0, 0, 0}},
        {"negative box", -5, 1000, 500, {0, 0, 0, 0}},
        {"absurdly wide", 249, Max, 1, {249, 249, 0, 0}},
        {"absurdly tall", 249, 1, Max, {249, 249, 0, 0}},
        {"absurd but proportional", 249, Max, Max / 2, {249, 124, 0, 62}},
        {"absurd square",
         std::numeric_limits<int>::max(),
         Max,
         Max,
         {std::numeric_limits<int>::max(), std::numeric_limits<int>::max(), 0, 0}},
    };
    for (const auto& r : rows) {
        const std::optional<content::PictureFit> fit = content::FitPicture(r.side, r.width, r.height);
        ASSERT_TRUE(fit.has_value()) << r.what;
        EXPECT_EQ(fit->width, r.fit.width) << r.what;
        EXPECT_EQ(fit->height, r.fit.height) << r.what;
        EXPECT_EQ(fit->x, r.fit.x) << r.what;
        EXPECT_EQ(fit->y, r.fit.y) << r.what;
    }
}

TEST(FitPicture, EmptyImagesHaveNoFit)
{
    const struct
    {
        const char* what;
        int64_t width;
        int64_t height;
    } rows[] = {
        {"no width: would divide by zero", 0, 500},
        {"no height", 500, 0},
        {"neither", 0, 0},
        {"negative width", -1000, 500},
        {"negative height", 500, -1000},
        {"the most negative width", std::numeric_limits<int64_t>::min(), 1},
    };
    for (const auto& r : rows)
        EXPECT_FALSE(content::FitPicture(249, r.width, r.height).has_value()) << r.what;
}

} // namespace
