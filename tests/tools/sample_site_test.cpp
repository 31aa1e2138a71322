#include "sample-site/command_line.h"
#include "sample-site/sample_site_server.h"
#include "sample-site/site_generator.h"
#include "sample-site/site_images.h"

#include "support/qstring_print.h"

#include <QBuffer>
#include <QHostAddress>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <optional>
#include <random>

using namespace samplesite;

// Failed expectations show texts as UTF-8 rather than as bytes.
namespace {

// The texts the client looks for, written out here rather than taken from
// the generator so that a wrong marker there cannot pass.
const QString kHeader = QStringLiteral("<!-- Template: files_day_rss_header -->");
const QString kFooter = QStringLiteral("<!-- Template files_day_rss_footer -->");
const QString kDateLine = QStringLiteral("<div class=\"zibydate\">");
const QString kTitleLine = QStringLiteral("<div class=\"zibytitle\">");
const QString kDescriptionLine = QStringLiteral("<div class=\"zibyinsidecontent\">");
const QString kChannelStart = QStringLiteral("<!-- Template: news_channels_channel_rss -->");
const QString kChannelEnd = QStringLiteral("<!-- Template: news_channels_archive -->");
const QString kItemPrefix = QStringLiteral("&middot; <a href=\"");
const QString kStoryListStart = QStringLiteral("<!-- Template: news_story -->");
const QString kBase = QStringLiteral("http://127.0.0.1:8080");
const QDate kDay(2026, 12, 7);

QString Body(const SitePages& pages, const QString& path)
{
    const auto found = pages.find(path);
    return found == pages.end() ? QString() : QString::fromUtf8(found->second.body);
}

QString Between(const QString& text, const QString& start, const QString& end)
{
    const qsizetype p = text.indexOf(start);
    if (p < 0)
        return {};
    const qsizetype q = text.indexOf(end, p + start.size());
    return q < 0 ? QString() : text.mid(p + start.size(), q - p - start.size());
}

// A page line as the client sees it: spaces trimmed, one leading break dropped.
QString Cleaned(QString line)
{
    while (line.startsWith(' '))
        line.remove(0, 1);
    while (line.endsWith(' '))
        line.chop(1);
    if (line.startsWith(QLatin1String("<br>")))
        line.remove(0, 4);
    else if (line.startsWith(QLatin1String("<br />")))
        line.remove(0, 6);
    return line;
}

QStringList Lines(const QString& text)
{
    QStringList lines = text.split(QStringLiteral("\r\n"));
    for (QString& line : lines)
        line = Cleaned(line);
    return lines;
}

QString PlainTitle(QString html)
{
    html.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    html.replace(QStringLiteral("&#8217;"), QStringLiteral("\u2019"));
    html.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    html.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return html;
}

struct DayBlock
{
    QStringList lines; // from the line after the header to the footer
};

std::vector<DayBlock> DayBlocks(const QStringList& lines)
{
    std::vector<DayBlock> blocks;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i] != kHeader)
            continue;
        DayBlock block;
        for (++i; i < lines.size(); ++i) {
            block.lines << lines[i];
            if (lines[i] == kFooter)
                break;
        }
        blocks.push_back(block);
    }
    return blocks;
}

// ------------------------------------------------------------ generator

TEST(SiteGenerator, PagesTheClientSplitsEndEveryLineInCrLf)
{
    const SitePages pages = GenerateSite(kDay, 3, kBase);
    for (const char* path : {"/", "/news/channels/news.html", "/news/channels/site_news.html"}) {
        const QByteArray body = pages.at(QString::fromLatin1(path)).body;
        ASSERT_FALSE(body.isEmpty()) << path;
        EXPECT_EQ(body.count('\n'), body.count("\r\n")) << path << ": a bare LF";
        EXPECT_EQ(body.count('\r'), body.count("\r\n")) << path << ": a bare CR";
        EXPECT_FALSE(body.contains('\0')) << path;
        EXPECT_FALSE(body.contains('\t')) << path << ": only spaces are trimmed";
    }
}

TEST(SiteGenerator, HomePageHasTodayAndYesterdayWithTheirDates)
{
    const struct
    {
        QDate today;
        const char* todayText;
        const char* yesterdayText;
    } rows[] = {
        {QDate(2026, 12, 7), "Monday, December 07, 2026", "Sunday, December 06, 2026"},
        {QDate(2026, 1, 1), "Thursday, January 01, 2026", "Wednesday, December 31, 2025"}, // year boundary
        {QDate(2028, 3, 1), "Wednesday, March 01, 2028", "Tuesday, February 29, 2028"},    // leap day
        {QDate(2026, 10, 25), "Sunday, October 25, 2026", "Saturday, October 24, 2026"},   // clock change
    };
    for (const auto& r : rows) {
        const QStringList lines = Lines(Body(GenerateSite(r.today, 1, kBase), QStringLiteral("/")));
        EXPECT_EQ(lines.count(kHeader), 2) << r.todayText;
        EXPECT_EQ(lines.count(kFooter), 2) << r.todayText;
        const std::vector<DayBlock> blocks = DayBlocks(lines);
        ASSERT_EQ(blocks.size(), 2u);
        const char* expected[] = {r.todayText, r.yesterdayText};
        for (int b = 0; b < 2; ++b) {
            const DayBlock& block = blocks[static_cast<std::size_t>(b)];
            EXPECT_EQ(block.lines.last(), kFooter) << "block " << b << " runs to the end of the page";
            const QStringList dateLines = block.lines.filter(kDateLine);
            ASSERT_EQ(dateLines.size(), 1) << expected[b];
            EXPECT_EQ(Between(dateLines[0], QStringLiteral("\">&nbsp;"), QStringLiteral("</div>")),
                      QString::fromLatin1(expected[b]));
        }
    }
}

TEST(SiteGenerator, EveryEntryIsTakenExactlyOnceWithItsOwnLines)
{
    for (uint32_t seed : {1u, 2u, 0u, 4294967295u}) {
        const SitePages pages = GenerateSite(kDay, seed, kBase);
        const std::vector<DayBlock> blocks = DayBlocks(Lines(Body(pages, QStringLiteral("/"))));
        ASSERT_EQ(blocks.size(), 2u);
        for (const DayBlock& block : blocks) {
            int titles = 0;
            int commentsSinceTitle = 0;
            bool descriptionSinceTitle = false;
            for (const QString& line : block.lines) {
                const bool comment = line.startsWith(QLatin1String("<!--"));
                if (line.contains(kTitleLine)) {
                    // Exactly one comment line between entries: none would
                    // lose an entry, two would list it twice.
                    EXPECT_EQ(commentsSinceTitle, titles == 0 ? 0 : 1) << "seed " << seed << ": " << line.toStdString();
                    EXPECT_TRUE(titles == 0 || descriptionSinceTitle) << line.toStdString();
                    ++titles;
                    commentsSinceTitle = 0;
                    descriptionSinceTitle = false;
                    const QString link = Between(line, QStringLiteral("<a href=\""), QStringLiteral("\">"));
                    EXPECT_FALSE(link.isEmpty() || link.startsWith('/') || link.startsWith(QLatin1String("http")))
                        << "file addresses are relative to the root: " << link.toStdString();
                    EXPECT_EQ(pages.count(QLatin1Char('/') + link), 1u) << link.toStdString();
                    EXPECT_TRUE(line.contains(QLatin1String("</a>")));
                } else if (line.contains(kDescriptionLine)) {
                    descriptionSinceTitle = true;
                    // The description is cut at the first "</div>": it must be the last.
                    EXPECT_EQ(line.count(QLatin1String("</div>")), 1) << line.toStdString();
                    EXPECT_TRUE(line.endsWith(QLatin1String("</div>"))) << line.toStdString();
                }
                if (comment)
                    ++commentsSinceTitle;
            }
            EXPECT_EQ(commentsSinceTitle, 1) << "only the footer follows the last entry";
            EXPECT_GE(titles, 60) << "seed " << seed;
            EXPECT_LE(titles, 150) << "seed " << seed;
        }
    }
}

TEST(SiteGenerator, EachDayShowsEveryKindOfEntry)
{
    const QString icons[] = {QStringLiteral("class=\"fab fa-windows\""), QStringLiteral("class=\"fab fa-linux\""),
                             QStringLiteral("class=\"fab fa-apple\""), QStringLiteral("class=\"fab fa-android\"")};
    const struct
    {
        const char* what;
        QString needle;
        bool inTitle;
    } features[] = {
        {"ampersand entity", QStringLiteral("&amp;"), true},
        {"quote entity", QStringLiteral("&quot;"), true},
        {"decimal reference", QStringLiteral("&#233;"), true},
        {"apostrophe reference", QStringLiteral("&#8217;"), true},
        {"build number", QStringLiteral(" Build "), true},
        {"bold in a name", QStringLiteral("<b>"), true},
        {"bold in a description", QStringLiteral("<b>"), false},
        {"line break in a description", QStringLiteral("<br />"), false},
        {"link in a description", QStringLiteral("<a href=\""), false},
        {"double space in a description", QStringLiteral("  "), false},
        {"raw UTF-8 in a description", QStringLiteral("\u00f1"), false},
    };
    const std::vector<DayBlock> blocks = DayBlocks(Lines(Body(GenerateSite(kDay, 9, kBase), QStringLiteral("/"))));
    ASSERT_EQ(blocks.size(), 2u);
    for (const DayBlock& block : blocks) {
        const QStringList titles = block.lines.filter(kTitleLine);
        const QStringList descriptions = block.lines.filter(kDescriptionLine);
        QSet<int> iconSets;
        for (const QString& title : titles) {
            int set = 0;
            for (int i = 0; i < 4; ++i)
                set |= title.contains(icons[i]) ? 1 << i : 0;
            iconSets.insert(set);
        }
        for (int set : {0, 1, 2, 4, 8, 15})
            EXPECT_TRUE(iconSets.contains(set)) << "platform set " << set << " (0: no icon, 15: all four)";
        for (const auto& f : features) {
            const QStringList& lines = f.inTitle ? titles : descriptions;
            EXPECT_FALSE(lines.filter(f.needle).isEmpty()) << f.what;
        }
        const bool unfinished = std::any_of(descriptions.begin(), descriptions.end(), [](const QString& line) {
            return !Between(line, kDescriptionLine, QStringLiteral("</div>")).endsWith('.');
        });
        EXPECT_TRUE(unfinished) << "a description without a final full stop";
    }
}

TEST(SiteGenerator, TagLineFollowsItsMarkerOnTheNextLine)
{
    for (uint32_t seed : {1u, 2u, 3u, 4u}) {
        const QString home = Body(GenerateSite(kDay, seed, kBase), QStringLiteral("/"));
        const QString marker = QStringLiteral("<div class=\"zibphrase\">\r\n");
        ASSERT_TRUE(home.contains(marker));
        EXPECT_LT(home.indexOf(marker), home.indexOf(kHeader)) << "the tag line comes before the day blocks";
        const QString phrase = Between(home, marker, QStringLiteral("</div>"));
        EXPECT_FALSE(phrase.contains('\n'));
        EXPECT_TRUE(phrase.endsWith('.')) << phrase.toStdString();
        EXPECT_GT(phrase.size(), 10);
    }
}

enum class Icon {
    Exclamation,
    Video,
    HowTo,
    WhatIs,
    Plain,
};

Icon IconOf(const QString& title, bool articles)
{
    const QString lower = title.toLower();
    if (title.contains('!'))
        return Icon::Exclamation;
    if (lower.endsWith(QLatin1String(" (video)")))
        return Icon::Video;
    if (articles && lower.startsWith(QLatin1String("how to ")))
        return Icon::HowTo;
    if (articles && lower.startsWith(QLatin1String("what is ")))
        return Icon::WhatIs;
    return Icon::Plain;
}

TEST(SiteGenerator, ChannelsCarryEveryKindOfTitleAndLink)
{
    const struct
    {
        const char* path;
        bool articles;
        std::vector<Icon> icons;
    } rows[] = {
        {"/news/channels/news.html", false, {Icon::Exclamation, Icon::Video, Icon::Plain}},
        {"/news/channels/site_news.html",
         true,
         {Icon::Exclamation, Icon::Video, Icon::HowTo, Icon::WhatIs, Icon::Plain}},
    };
    for (uint32_t seed : {1u, 77u}) {
        const SitePages pages = GenerateSite(kDay, seed, kBase);
        QSet<QString> videoSuffixes;
        for (const auto& r : rows) {
            const QString page = Body(pages, QString::fromLatin1(r.path));
            const qsizetype start = page.indexOf(kChannelStart);
            ASSERT_GE(start, 0) << r.path;
            // The client skips one character past the marker: the CR.
            const QStringList lines = Lines(page.mid(start + kChannelStart.size() + 1));
            ASSERT_FALSE(lines.isEmpty());
            EXPECT_FALSE(lines[0].contains(kItemPrefix)) << "an item right after the marker would be cut";
            const qsizetype end = lines.indexOf(kChannelEnd);
            ASSERT_GT(end, 0) << r.path;
            QSet<int> icons;
            int absolute = 0;
            int capitalScheme = 0;
            int rooted = 0;
            int items = 0;
            for (qsizetype i = 0; i < end; ++i) {
                if (!lines[i].startsWith(kItemPrefix))
                    continue;
                ++items;
                const QString title = PlainTitle(Between(lines[i], QStringLiteral("\">"), QStringLiteral("</a>")));
                const QString link = Between(lines[i], kItemPrefix, QStringLiteral("\""));
                const Icon icon = IconOf(title, r.articles);
                icons.insert(static_cast<int>(icon));
                if (icon == Icon::Video)
                    videoSuffixes.insert(title.right(8));
                QString path = link;
                if (link.startsWith(QLatin1String("http"))) {
                    ++absolute;
                    path = link.mid(kBase.size());
                } else if (link.startsWith(QLatin1String("HTTP"))) {
                    ++capitalScheme;
                    path = link.mid(kBase.size());
                } else {
                    ++rooted;
                }
                EXPECT_TRUE(path.startsWith('/')) << link.toStdString();
                EXPECT_EQ(pages.count(path), 1u) << link.toStdString();
            }
            EXPECT_GE(items, 16) << r.path;
            for (Icon icon : r.icons)
                EXPECT_TRUE(icons.contains(static_cast<int>(icon))) << r.path << " lacks icon " << int(icon);
            EXPECT_GT(absolute, 0) << r.path;
            EXPECT_GT(capitalScheme, 0) << r.path;
            EXPECT_GT(rooted, 0) << r.path;
        }
        EXPECT_GE(videoSuffixes.size(), 2) << "the video suffix in more than one letter case";
    }
}

struct FirstPicture
{
    QString storyPath;
    QString title;
    QString imageUrl;
};

// Follows the picture channel the way the client does: the first item after
// the story list marker, then the story's title and picture address.
FirstPicture FollowPictureChannel(const SitePages& pages)
{
    FirstPicture picture;
    QString channel = Body(pages, QStringLiteral("/news/channels/way_off_base.html"));
    const qsizetype list = channel.indexOf(kStoryListStart);
    if (list < 0)
        return picture;
    channel = channel.mid(list + kStoryListStart.size());
    picture.storyPath = Between(channel, kItemPrefix, QStringLiteral("\""));
    const QString story = Body(pages, picture.storyPath);
    picture.title = Between(story, QStringLiteral("<title>Random Photo: "), QStringLiteral(" - Zorvane</title>"));
    picture.imageUrl = Between(story, QStringLiteral("<center><img src=\""), QStringLiteral("\""));
    return picture;
}

TEST(SiteGenerator, PictureChannelLeadsToADecodablePicture)
{
    const SitePages pages = GenerateSite(kDay, 5, kBase);
    const FirstPicture picture = FollowPictureChannel(pages);
    EXPECT_TRUE(picture.storyPath.startsWith(QLatin1String("/news/story/"))) << picture.storyPath.toStdString();
    EXPECT_FALSE(picture.title.isEmpty());
    ASSERT_TRUE(picture.imageUrl.startsWith(kBase + '/')) << "the picture address must be absolute";
    const auto image = pages.find(picture.imageUrl.mid(kBase.size()));
    ASSERT_NE(image, pages.end());
    const QImage decoded = QImage::fromData(image->second.body);
    ASSERT_FALSE(decoded.isNull()) << image->second.contentType.toStdString();

    // Across all the stories: every format in every shape, each served with
    // its own content type.
    QSet<QString> combinations;
    for (const auto& [path, page] : pages) {
        if (!path.startsWith(QLatin1String("/images/potd/")))
            continue;
        const QString extension = path.section('.', -1);
        const QByteArray expectedType = extension == QLatin1String("png")   ? "image/png"
                                        : extension == QLatin1String("jpg") ? "image/jpeg"
                                                                            : "image/gif";
        EXPECT_EQ(page.contentType, expectedType) << path.toStdString();
        const QImage pixels = QImage::fromData(page.body);
        ASSERT_FALSE(pixels.isNull()) << path.toStdString();
        const QString shape = pixels.width() > pixels.height()   ? QStringLiteral("wide")
                              : pixels.width() < pixels.height() ? QStringLiteral("tall")
                                                                 : QStringLiteral("square");
        EXPECT_TRUE(path.contains(shape)) << path.toStdString();
        combinations.insert(extension + shape);
    }
    EXPECT_EQ(combinations.size(), 9);
}

TEST(SiteGenerator, FirstPictureVariesWithTheSeed)
{
    QSet<QString> formats;
    QSet<QString> shapes;
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        const QString url = FollowPictureChannel(GenerateSite(kDay, seed, kBase)).imageUrl;
        formats.insert(url.section('.', -1));
        shapes.insert(url.section('-', -1).section('.', 0, 0));
    }
    EXPECT_EQ(formats.size(), 3);
    EXPECT_EQ(shapes.size(), 3);
}

TEST(SiteGenerator, SameSeedAndDateGiveTheSameSite)
{
    const SitePages first = GenerateSite(kDay, 42, kBase);
    const SitePages again = GenerateSite(kDay, 42, kBase);
    ASSERT_EQ(first.size(), again.size());
    for (const auto& [path, page] : first) {
        ASSERT_EQ(again.count(path), 1u) << path.toStdString();
        EXPECT_EQ(page.body, again.at(path).body) << path.toStdString();
        EXPECT_EQ(page.contentType, again.at(path).contentType) << path.toStdString();
    }
    EXPECT_NE(Body(first, QStringLiteral("/")), Body(GenerateSite(kDay, 43, kBase), QStringLiteral("/")));
    EXPECT_TRUE(GenerateSite(QDate(), 42, kBase).empty()) << "an invalid date gives no site";

    // Today's list is tomorrow's "yesterday", as on the real site.
    const auto todayBlocks = DayBlocks(Lines(Body(first, QStringLiteral("/"))));
    const auto tomorrowBlocks = DayBlocks(Lines(Body(GenerateSite(kDay.addDays(1), 42, kBase), QStringLiteral("/"))));
    ASSERT_EQ(todayBlocks.size(), 2u);
    ASSERT_EQ(tomorrowBlocks.size(), 2u);
    EXPECT_EQ(todayBlocks[0].lines, tomorrowBlocks[1].lines);
}

// ------------------------------------------------------------ GIF writer

QImage PaletteNoise(int width, int height, uint32_t seed)
{
    std::mt19937 random(seed);
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const auto level = [&] { return static_cast<int>(random() % 6) * 51; };
            image.setPixel(x, y, qRgb(level(), level(), level()));
        }
    }
    return image;
}

TEST(GifWriter, PaletteColoursComeBackExactly)
{
    QImage flat(300, 300, QImage::Format_RGB32);
    flat.fill(qRgb(51, 204, 102));
    QImage stripes(257, 3, QImage::Format_RGB32);
    for (int x = 0; x < stripes.width(); ++x)
        for (int y = 0; y < 3; ++y)
            stripes.setPixel(x, y, x % 2 == 0 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    const struct
    {
        const char* what;
        QImage image;
    } rows[] = {
        {"one pixel", PaletteNoise(1, 1, 1)},
        {"one row", PaletteNoise(1000, 1, 2)},
        {"one column", PaletteNoise(1, 700, 3)},
        {"noise: the code table fills and restarts", PaletteNoise(200, 200, 4)},
        {"a flat area: long runs and 12-bit codes", flat},
        {"two colours alternating", stripes},
    };
    for (const auto& r : rows) {
        const QByteArray gif = EncodeGif(r.image);
        ASSERT_TRUE(gif.startsWith("GIF89a")) << r.what;
        const QImage decoded = QImage::fromData(gif, "GIF").convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(decoded.size(), r.image.size()) << r.what;
        int wrong = 0;
        for (int y = 0; y < decoded.height(); ++y)
            for (int x = 0; x < decoded.width(); ++x)
                wrong += decoded.pixel(x, y) != r.image.pixel(x, y) ? 1 : 0;
        EXPECT_EQ(wrong, 0) << r.what;
    }
}

// A decoder that accepts only a well-formed code stream: codes widen exactly
// when the table reaches the next power of two, the end code comes last and
// only zero padding follows it. Qt's reader forgives more than this.
std::optional<std::vector<uint8_t>> StrictGifIndices(const QByteArray& gif)
{
    qsizetype at = 13 + 768 + 10; // header, screen, global table, image descriptor
    if (gif.size() <= at || gif[at] != 8)
        return std::nullopt;
    QByteArray data;
    for (++at; at < gif.size() && gif[at] != 0; at += 1 + static_cast<uint8_t>(gif[at]))
        data += gif.mid(at + 1, static_cast<uint8_t>(gif[at]));
    std::vector<std::vector<uint8_t>> table(4096);
    for (int i = 0; i < 256; ++i)
        table[static_cast<std::size_t>(i)] = {static_cast<uint8_t>(i)};
    std::vector<uint8_t> indices;
    std::vector<uint8_t> previous;
    int width = 9;
    int next = 258;
    qsizetype bit = 0;
    while (bit + width <= data.size() * 8) {
        int code = 0;
        for (int b = 0; b < width; ++b, ++bit)
            code |= ((static_cast<uint8_t>(data[bit / 8]) >> (bit % 8)) & 1) << b;
        if (code == 256) {
            width = 9;
            next = 258;
            previous.clear();
            continue;
        }
        if (code == 257) {
            for (; bit < data.size() * 8; ++bit)
                if (((static_cast<uint8_t>(data[bit / 8]) >> (bit % 8)) & 1) != 0)
                    return std::nullopt;
            return (data.size() * 8 - bit < 8) ? std::optional(indices) : std::nullopt;
        }
        std::vector<uint8_t> entry;
        if (code < 256 || (code > 257 && code < next))
            entry = table[static_cast<std::size_t>(code)];
        else if (code == next && !previous.empty())
            entry = previous, entry.push_back(previous.front());
        else
            return std::nullopt;
        indices.insert(indices.end(), entry.begin(), entry.end());
        if (!previous.empty() && next < 4096) {
            previous.push_back(entry.front());
            table[static_cast<std::size_t>(next++)] = previous;
            if (next == (1 << width) && width < 12)
                ++width;
        }
        previous = entry;
    }
    return std::nullopt; // no end code
}

TEST(GifWriter, CodeStreamIsWellFormedAtEveryLength)
{
    // Lengths from 1 to 1500 pixels cross the table sizes at which the code
    // width grows (512 and 1024 entries) and end at every point around them.
    for (int length = 1; length <= 1500; ++length) {
        const QImage image = PaletteNoise(length, 1, static_cast<uint32_t>(length));
        const auto indices = StrictGifIndices(EncodeGif(image));
        ASSERT_TRUE(indices.has_value()) << length << " pixels";
        ASSERT_EQ(indices->size(), static_cast<std::size_t>(length));
    }
    const auto noise = StrictGifIndices(EncodeGif(PaletteNoise(200, 200, 4)));
    ASSERT_TRUE(noise.has_value()) << "a table that fills and restarts";
    EXPECT_EQ(noise->size(), 40000u);
}

TEST(GifWriter, RefusesWhatGifCannotHoldAndStaysCloseOtherwise)
{
    EXPECT_TRUE(EncodeGif(QImage()).isEmpty());
    EXPECT_TRUE(EncodeGif(QImage(65536, 1, QImage::Format_RGB32)).isEmpty()) << "sides are 16-bit";

    const QImage landscape = DrawLandscape(ImageShape::Tall, 11);
    const QImage decoded = QImage::fromData(EncodeGif(landscape), "GIF").convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(decoded.size(), landscape.size());
    int worst = 0;
    for (int y = 0; y < decoded.height(); ++y) {
        for (int x = 0; x < decoded.width(); ++x) {
            const QRgb a = decoded.pixel(x, y);
            const QRgb b = landscape.pixel(x, y);
            worst = std::max(
                {worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
        }
    }
    EXPECT_LE(worst, 51) << "no pixel further than one palette step";
}

// ------------------------------------------------------------ command line

TEST(CommandLine, TakesPortAndSeedAndRefusesTheRest)
{
    const struct
    {
        QStringList arguments;
        bool valid;
        uint16_t port;
        uint32_t seed;
    } rows[] = {
        {{}, true, 0, 1}, // defaults
        {{"--port", "8080", "--seed", "7"}, true, 8080, 7},
        {{"--port", "65535", "--seed", "4294967295"}, true, 65535, 4294967295u}, // upper bounds
        {{"--port", "1", "--port", "2"}, true, 2, 1},                            // the last one wins
        {{"--port", "65536"}, false, 0, 0},                                      // out of range
        {{"--seed", "4294967296"}, false, 0, 0},
        {{"--seed", "99999999999999999999"}, false, 0, 0}, // would overflow 64 bits
        {{"--port"}, false, 0, 0},                         // missing value
        {{"--port", ""}, false, 0, 0},
        {{"--port", "-1"}, false, 0, 0}, // signs and blanks are not digits
        {{"--port", "+80"}, false, 0, 0},
        {{"--port", " 80"}, false, 0, 0},
        {{"--port", "0x50"}, false, 0, 0},
        {{"--port", QString::fromUtf8("8\u0660")}, false, 0, 0}, // Arabic-Indic digit
        {{"--port", QString::fromLatin1("8\0"
                                        "0",
                                        3)},
         false,
         0,
         0}, // zero byte inside
        {{"--bogus"}, false, 0, 0},
        {{"8080"}, false, 0, 0},
    };
    for (const auto& r : rows) {
        const auto parsed = ParseCommandLine(r.arguments);
        ASSERT_EQ(parsed.has_value(), r.valid) << r.arguments.join(' ').toStdString();
        if (parsed) {
            EXPECT_EQ(parsed->port, r.port);
            EXPECT_EQ(parsed->seed, r.seed);
        }
    }
    EXPECT_TRUE(ParseCommandLine({QStringLiteral("--help")})->help);
}

// ------------------------------------------------------------ server

struct HttpReply
{
    int status = 0;
    QByteArray headers;
    QByteArray body;
    bool complete = false; // the whole body arrived as announced
};

QByteArray HeaderValue(const QByteArray& headers, const QByteArray& name)
{
    for (const QByteArray& line : headers.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == name.toLower())
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

bool DecodeChunked(const QByteArray& raw, QByteArray* body)
{
    qsizetype at = 0;
    while (true) {
        const qsizetype lineEnd = raw.indexOf("\r\n", at);
        if (lineEnd < 0)
            return false;
        bool ok = false;
        const qsizetype size = raw.mid(at, lineEnd - at).toLongLong(&ok, 16);
        if (!ok || size < 0 || lineEnd + 2 + size + 2 > raw.size())
            return false;
        if (size == 0)
            return true;
        body->append(raw.constData() + lineEnd + 2, size);
        at = lineEnd + 2 + size + 2;
    }
}

HttpReply Get(uint16_t port, const QByteArray& path)
{
    HttpReply reply;
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(10000))
        return reply;
    socket.write("GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
    QByteArray raw;
    while (socket.waitForReadyRead(10000))
        raw += socket.readAll();
    raw += socket.readAll();
    const qsizetype headEnd = raw.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return reply;
    reply.headers = raw.left(headEnd);
    reply.status = reply.headers.mid(9, 3).toInt();
    const QByteArray rest = raw.mid(headEnd + 4);
    if (HeaderValue(reply.headers, "Transfer-Encoding") == "chunked") {
        reply.complete = DecodeChunked(rest, &reply.body);
    } else {
        reply.body = rest;
        reply.complete = HeaderValue(reply.headers, "Content-Length").toLongLong() == rest.size();
    }
    return reply;
}

class SampleSiteServer : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(server_.Start(0, 5)); }

    Server server_;
};

TEST_F(SampleSiteServer, ServesTheGeneratedPagesAndPictures)
{
    ASSERT_NE(server_.Port(), 0);
    EXPECT_EQ(server_.BaseUrl(), QStringLiteral("http://127.0.0.1:") + QString::number(server_.Port()));
    const SitePages pages = GenerateSite(QDate::currentDate(), 5, server_.BaseUrl());

    const HttpReply home = Get(server_.Port(), "/");
    EXPECT_EQ(home.status, 200);
    EXPECT_TRUE(home.complete);
    EXPECT_EQ(home.body, pages.at(QStringLiteral("/")).body);
    EXPECT_EQ(HeaderValue(home.headers, "Content-Type"), "text/html; charset=utf-8");
    EXPECT_TRUE(home.body.contains(DayDateText(QDate::currentDate()).toUtf8())) << "today's real date";

    const FirstPicture picture = FollowPictureChannel(pages);
    ASSERT_TRUE(picture.imageUrl.startsWith(server_.BaseUrl() + '/'));
    const HttpReply image = Get(server_.Port(), picture.imageUrl.mid(server_.BaseUrl().size()).toUtf8());
    EXPECT_EQ(image.status, 200);
    EXPECT_TRUE(HeaderValue(image.headers, "Content-Type").startsWith("image/"));
    EXPECT_FALSE(QImage::fromData(image.body).isNull());
}

TEST_F(SampleSiteServer, FaultRoutesAnswerAsAnnounced)
{
    const QByteArray base = server_.BaseUrl().toUtf8();
    const struct
    {
        const char* path;
        int status;
        QByteArray body;      // exact body, when not null
        const char* contains; // a text the body must hold
        qsizetype size;       // exact length, when not -1
        QByteArray location;  // redirect target, when not null
    } rows[] = {
        {"/fault/redirect/3", 302, {}, "", -1, base + "/fault/redirect/2"}, // counts down
        {"/fault/redirect/1", 302, {}, "", -1, base + "/fault/redirect/0"},
        {"/fault/redirect/0", 200, "redirected ok", "", -1, {}}, // the end of the chain
        {"/fault/redirect/007", 302, {}, "", -1, base + "/fault/redirect/6"},
        {"/fault/redirect/99999999999999999999999", 404, {}, "Not Found", -1, {}}, // beyond 64 bits
        {"/fault/redirect/x", 404, {}, "Not Found", -1, {}},
        {"/fault/redirect-loop", 302, {}, "", -1, base + "/fault/redirect-loop"},
        {"/fault/404", 404, {}, "Not Found", -1, {}},
        {"/fault/empty", 200, "", "", 0, {}},
        {"/fault/zero-byte", 200, QByteArray("before\0after", 12), "", 12, {}},
        {"/fault/big", 200, {}, "", 614400, {}},
        {"/no/such/page.html", 404, {}, "Not Found", -1, {}}, // unknown addresses, too
    };
    for (const auto& r : rows) {
        const HttpReply reply = Get(server_.Port(), r.path);
        EXPECT_EQ(reply.status, r.status) << r.path;
        EXPECT_TRUE(reply.complete) << r.path;
        if (!r.body.isNull()) {
            EXPECT_EQ(reply.body, r.body) << r.path;
        }
        EXPECT_TRUE(reply.body.contains(r.contains)) << r.path;
        if (r.size >= 0) {
            EXPECT_EQ(reply.body.size(), r.size) << r.path;
        }
        if (!r.location.isNull()) {
            EXPECT_EQ(HeaderValue(reply.headers, "Location"), r.location) << r.path;
        }
    }
    EXPECT_TRUE(Get(server_.Port(), "/fault/big").body.endsWith("END"));
}

TEST_F(SampleSiteServer, HugeBodyArrivesWholeInChunks)
{
    const HttpReply reply = Get(server_.Port(), "/fault/huge");
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(HeaderValue(reply.headers, "Transfer-Encoding"), "chunked");
    EXPECT_TRUE(reply.complete);
    EXPECT_EQ(reply.body.size(), qsizetype{70} * 1024 * 1024);
}

TEST_F(SampleSiteServer, StallSendsNothingUntilStopAndStopStillReturns)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, server_.Port());
    ASSERT_TRUE(socket.waitForConnected(10000));
    socket.write("GET /fault/stall HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    ASSERT_TRUE(socket.waitForBytesWritten(10000));
    EXPECT_FALSE(socket.waitForReadyRead(300)) << "nothing while the server runs";
    EXPECT_TRUE(socket.readAll().isEmpty());

    server_.Stop(); // returns although the request is still held
    socket.waitForReadyRead(5000);
    const QByteArray after = socket.readAll();
    EXPECT_TRUE(after.isEmpty() || after.startsWith("HTTP/1.1 503")) << after.constData();
}

TEST_F(SampleSiteServer, TakenPortFailsAndAStoppedServerStartsAgain)
{
    const uint16_t port = server_.Port();
    Server second;
    EXPECT_FALSE(second.Start(port, 1)) << "the port is in use";
    EXPECT_FALSE(server_.Start(0, 1)) << "already serving";

    server_.Stop();
    server_.Stop(); // twice is harmless
    ASSERT_TRUE(second.Start(port, 1)) << "the port is free again";
    EXPECT_EQ(second.Port(), port);
    EXPECT_EQ(Get(port, "/").status, 200);
}

} // namespace
