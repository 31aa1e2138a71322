#include "site_generator.h"

#include "site_images.h"
#include "site_random.h"

#include <QLocale>
#include <QStringList>

#include <algorithm>
#include <iterator>
#include <set>
#include <vector>

namespace samplesite {

namespace {

const QByteArray kHtmlType = "text/html; charset=utf-8";

// Markers the client finds its way by. Each stands on a line of its own
// unless it introduces a value that has to sit on the same line.
const QString kPhraseStart = QStringLiteral("<div class=\"zibphrase\">");
const QString kDayHeader = QStringLiteral("<!-- Template: files_day_rss_header -->");
const QString kDayFooter = QStringLiteral("<!-- Template files_day_rss_footer -->");
const QString kDayItemSeparator = QStringLiteral("<!-- Template: files_day_rss_item -->");
const QString kChannelStart = QStringLiteral("<!-- Template: news_channels_channel_rss -->");
const QString kChannelEnd = QStringLiteral("<!-- Template: news_channels_archive -->");
const QString kStoryListStart = QStringLiteral("<!-- Template: news_story -->");

// Platform bits, in the order the icons appear on a title line.
constexpr int kWindows = 1;
constexpr int kLinux = 2;
constexpr int kApple = 4;
constexpr int kAndroid = 8;

const char* const kFirstWords[] = {
    "Astra", "Bolt",   "Cedar",  "Delta",  "Echo",   "Flux",   "Granite", "Harbor", "Iris",  "Juniper",
    "Kite",  "Lumen",  "Maple",  "Nimbus", "Orbit",  "Pebble", "Quartz",  "Raven",  "Sable", "Tidal",
    "Umber", "Vertex", "Willow", "Xeno",   "Yarrow", "Zephyr", "Copper",  "Falcon", "Lynx",  "Nova",
};
const char* const kSecondWords[] = {
    "Backup",   "Clipboard", "Disk",    "Editor",   "Finder",   "Grabber", "Launcher",  "Mixer",  "Notes",   "Player",
    "Renamer",  "Scanner",   "Sync",    "Tracker",  "Viewer",   "Zip",     "Commander", "Studio", "Monitor", "Cleaner",
    "Recorder", "Converter", "Browser", "Terminal", "Calendar", "Mail",    "Paint",     "Reader", "Tuner",   "Shield",
};
const char* const kPeople[] = {"Tom", "Anna", "Lena", "Marco", "Yuki", "Omar"};
const char* const kCompanies[] = {"Northwind Labs", "Bluefin Software", "Kestrel Systems", "Oakridge Apps"};
const char* const kDoes[] = {
    "keeps your folders in sync between computers",
    "finds and removes duplicate photos",
    "records any sound your computer plays",
    "converts video files between common formats",
    "shows what fills your disk",
    "renames hundreds of files in one go",
    "launches programs with a few keystrokes",
    "reads e-books and comics",
    "tracks the time you spend on projects",
    "cleans up temporary files and browser traces",
    "edits plain text and source code",
    "scans documents straight to PDF",
    "monitors CPU, memory and disk temperatures",
    "backs up to local drives and network shares",
    "manages several clipboards at once",
    "plays almost any audio or video file",
};
const char* const kChanges[] = {
    "fixed a crash at start-up",
    "faster search in large folders",
    "a new dark theme",
    "better support for high-DPI screens",
    "updated translations",
    "fixed a memory leak when closing tabs",
    "support for the latest file formats",
    "a smaller installer",
    "fixed the tray icon on some desktops",
};
const char* const kLicences[] = {"Freeware", "Open Source", "Shareware", "Free to try", "Free for personal use"};
const char* const kPhrases[] = {
    "Your daily dose of software.",
    "Fresh software, every single day.",
    "Downloads you can trust, updated daily.",
    "Software news and downloads since 1999.",
};
const char* const kTasks[] = {
    "speed up a slow start-up", "back up your photos automatically",
    "free up disk space",       "move your files to a new PC",
    "record your screen",       "block trackers in your browser",
};
const char* const kTopics[] = {"backups", "photo editing", "screen recording", "privacy", "file sync", "note taking"};
const char* const kTerms[] = {"a VPN",          "a password manager", "a checksum",
                              "a portable app", "a beta release",     "an open-source licence"};
const char* const kPlaces[] = {"Valley", "Lake", "Ridge", "Harbor", "Meadow", "Canyon", "Fjord", "Dunes"};
const char* const kMoods[] = {"Misty", "Quiet", "Golden", "Frozen", "Distant", "Stormy", "Silver", "Hidden"};
const char* const kMoments[] = {"at Dawn",        "at Dusk",         "in Autumn",
                                "after the Rain", "under the Stars", "&amp; the Old Mill",
                                "in Winter",      "at High Tide"};

QString Text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

// A page under construction; every line ends with CR LF, as the client
// splits the pages at that pair.
class Page
{
public:
    void Line(const QString& line) { text_ += line + QStringLiteral("\r\n"); }
    QByteArray Bytes() const { return text_.toUtf8(); }

private:
    QString text_;
};

QString Version(Rng& rng)
{
    switch (rng.Below(5)) {
    case 0:
        return QString::number(rng.Between(1, 9)) + '.' + QString::number(rng.Between(0, 9));
    case 1:
        return QString::number(rng.Between(1, 30)) + '.' + QString::number(rng.Between(0, 12)) + '.' +
               QString::number(rng.Between(0, 40));
    case 2:
        return QString::number(rng.Between(1, 5)) + '.' + QString::number(rng.Between(0, 9)) + '.' +
               QString::number(rng.Between(0, 9)) + '.' + QString::number(rng.Between(100, 9999));
    case 3:
        return QString::number(rng.Between(2019, 2026)) + '.' + QString::number(rng.Between(1, 12));
    default:
        return QString::number(rng.Between(10, 140)) + QStringLiteral(".0");
    }
}

QString Slug(const QString& words)
{
    QString slug;
    for (const QChar c : words.toLower()) {
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
            slug += c;
        else if (!slug.isEmpty() && !slug.endsWith('-'))
            slug += '-';
    }
    while (slug.endsWith('-'))
        slug.chop(1);
    return slug;
}

QString EnglishDate(const QDate& date, const QString& format)
{
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(date, format);
}

// The shared top of every page: head, logo, tag line, search box, menu.
void PageTop(Page& page, const QString& title, const QString& phrase)
{
    page.Line(QStringLiteral("<!DOCTYPE html>"));
    page.Line(QStringLiteral("<html lang=\"en\">"));
    page.Line(QStringLiteral("<head>"));
    page.Line(QStringLiteral("<meta charset=\"utf-8\">"));
    page.Line(QStringLiteral("<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"));
    page.Line(QStringLiteral("<title>") + title + QStringLiteral("</title>"));
    page.Line(QStringLiteral("<link rel=\"stylesheet\" href=\"/css/zorvane.css\">"));
    page.Line(QStringLiteral("</head>"));
    page.Line(QStringLiteral("<body>"));
    page.Line(QStringLiteral("<div id=\"zibheader\">"));
    page.Line(QStringLiteral("    <a href=\"/\" class=\"ziblogo\">Zorvane</a>"));
    // The tag line is read from the line after the opening tag.
    page.Line(kPhraseStart);
    page.Line(phrase + QStringLiteral("</div>"));
    page.Line(QStringLiteral("    <form class=\"zibsearch\" action=\"/content/page/zv_search.html\" method=\"get\">"
                             "<input type=\"text\" name=\"q\" placeholder=\"Search\"> "
                             "<input type=\"submit\" value=\"Go\"></form>"));
    page.Line(QStringLiteral("</div>"));
    page.Line(QStringLiteral("<ul id=\"zibnav\">"));
    page.Line(QStringLiteral("    <li><a href=\"/\">Files</a></li>"));
    page.Line(QStringLiteral("    <li><a href=\"/news/channels/news.html\">News</a></li>"));
    page.Line(QStringLiteral("    <li><a href=\"/news/channels/site_news.html\">Articles</a></li>"));
    page.Line(QStringLiteral("    <li><a href=\"/news/channels/way_off_base.html\">Way Off Base</a></li>"));
    page.Line(QStringLiteral("</ul>"));
}

void PageBottom(Page& page, int year)
{
    page.Line(QStringLiteral("<div id=\"zibfooter\">"));
    page.Line(QStringLiteral("<!-- site footer -->"));
    page.Line(QStringLiteral("&copy; ") + QString::number(year) +
              QStringLiteral(" Zorvane &middot; <a href=\"/content/page/privacy.html\">Privacy</a>"
                             " &middot; <a href=\"/content/page/zv_search.html\">Search</a>"));
    page.Line(QStringLiteral("</div>"));
    page.Line(QStringLiteral("</body>"));
    page.Line(QStringLiteral("</html>"));
}

SitePage HtmlPage(const Page& page)
{
    return {page.Bytes(), kHtmlType};
}

SitePage TextPage(const QString& title, const QStringList& paragraphs, const QString& phrase, int year)
{
    Page page;
    PageTop(page, title + QStringLiteral(" - Zorvane"), phrase);
    page.Line(QStringLiteral("<div id=\"zibcontent\">"));
    page.Line(QStringLiteral("<h1>") + title + QStringLiteral("</h1>"));
    for (const QString& paragraph : paragraphs)
        page.Line(QStringLiteral("<p>") + paragraph + QStringLiteral("</p>"));
    page.Line(QStringLiteral("</div>"));
    PageBottom(page, year);
    return HtmlPage(page);
}

// ---------------------------------------------------------------- files

struct FileItem
{
    QString nameHtml;
    QString slug;
    int platforms = 0;
    QString descriptionHtml;
    QString licence;
    QString size;
};

constexpr int kNameForms = 10;
constexpr int kDescriptionForms = 9;
// Every day shows each of these platform sets at least once, including a
// file without any icon, which the client never lists.
constexpr int kForcedPlatforms[] = {
    0, kWindows | kLinux | kApple | kAndroid, kWindows, kLinux, kApple, kAndroid, kWindows | kAndroid, kLinux | kApple};

int RandomPlatforms(Rng& rng)
{
    const int roll = rng.Below(100);
    if (roll < 40)
        return kWindows;
    if (roll < 55)
        return kWindows | kLinux | kApple;
    if (roll < 63)
        return kLinux;
    if (roll < 71)
        return kApple;
    if (roll < 79)
        return kAndroid;
    if (roll < 84)
        return kWindows | kAndroid;
    if (roll < 89)
        return kLinux | kApple;
    if (roll < 94)
        return kWindows | kApple;
    return 0;
}

struct FileName
{
    QString product; // as the description names it: no version
    QString html;    // the anchor text of the title line
    QString slugWords;
};

// Name forms cover what the client has to cope with: entities, a bold tag,
// " Build NNN", names starting with a digit, names without a version.
FileName MakeFileName(Rng& rng, int form, const QString& first, const QString& second)
{
    const QString version = Version(rng);
    FileName name;
    name.product = first + ' ' + second;
    name.slugWords = name.product;
    switch (form) {
    case 1:
        name.product = first + second;
        name.html = name.product + ' ' + version + QStringLiteral(" Build ") + QString::number(rng.Between(100, 9999));
        break;
    case 2:
        name.product = first + QStringLiteral(" &amp; ") + second;
        name.slugWords = first + QStringLiteral(" and ") + second;
        break;
    case 3:
        name.product = QStringLiteral("&quot;") + first + QStringLiteral("&quot; ") + second;
        break;
    case 4:
        name.product = first + QStringLiteral(" Caf&#233; ") + second;
        name.slugWords = first + QStringLiteral(" Cafe ") + second;
        break;
    case 5: {
        const QString person = Text(rng.Pick(kPeople));
        name.product = person + QStringLiteral("&#8217;s ") + second;
        name.slugWords = person + ' ' + second;
        break;
    }
    case 6:
        name.html = name.product + ' ' + version + QStringLiteral(" <b>beta</b>");
        break;
    case 7:
        name.product = QStringLiteral("3D") + second;
        name.slugWords = name.product;
        break;
    case 8:
        name.html = name.product; // no version at all
        break;
    case 9:
        name.product = first + '-' + second;
        name.html = name.product + ' ' + version + QStringLiteral(" Beta ") + QString::number(rng.Between(1, 4));
        break;
    default:
        break;
    }
    if (name.html.isEmpty())
        name.html = name.product + ' ' + version;
    return name;
}

// Description forms: one line each, never containing "</div>", with the
// tags, links, entities and spacing the client cleans up.
QString FileDescription(Rng& rng, int form, const QString& subject, const QString& link)
{
    const QString does = Text(rng.Pick(kDoes));
    const QString change = Text(rng.Pick(kChanges));
    const QString sentence = subject + ' ' + does + '.';
    switch (form) {
    case 1:
        return QStringLiteral("<b>New:</b> ") + change + QStringLiteral(". ") + sentence;
    case 2:
        return sentence + QStringLiteral("<br /> Runs in &quot;portable&quot; mode from a USB stick.");
    case 3:
        return sentence + QStringLiteral(" See the <a href=\"") + link +
               QStringLiteral("\">release notes</a>, for the full list.");
    case 4:
        return sentence + QStringLiteral(" <a href=\"") + link + QStringLiteral("\">Changelog</a>");
    case 5:
        return QStringLiteral("It&#8217;s small  &amp; fast: ") + subject + ' ' + does + '.';
    case 6:
        return sentence + QStringLiteral(" Now in Espa\u00f1ol and Fran\u00e7ais \u2014 with a caf&#233; theme.");
    case 7:
        return subject + ' ' + does; // no final full stop
    case 8:
        return QStringLiteral("<b>Fixed</b>  ") + change + QStringLiteral("<br />");
    default:
        return sentence + QStringLiteral(" Changes: ") + change + QStringLiteral(", ") + Text(rng.Pick(kChanges)) + '.';
    }
}

std::vector<FileItem> DayFiles(const QDate& day, uint32_t seed, const QString& baseUrl)
{
    // Seeded by the day itself, so today's list is tomorrow's "yesterday".
    Rng rng(MixSeed(seed, static_cast<uint64_t>(day.toJulianDay())));
    const int count = rng.Between(60, 150);
    std::vector<FileItem> files;
    std::set<QString> slugs;
    constexpr int forcedPlatformCount = static_cast<int>(std::size(kForcedPlatforms));
    const int forced = std::max({kNameForms, kDescriptionForms, forcedPlatformCount});
    for (int i = 0; i < count; ++i) {
        FileItem file;
        const QString first = Text(rng.Pick(kFirstWords));
        const QString second = Text(rng.Pick(kSecondWords));
        const int nameForm = i < forced ? i % kNameForms : rng.Below(kNameForms);
        const FileName name = MakeFileName(rng, nameForm, first, second);
        file.nameHtml = name.html;
        QString slug = Slug(name.slugWords);
        for (int n = 2; slugs.count(slug) != 0; ++n)
            slug = Slug(name.slugWords) + '-' + QString::number(n);
        slugs.insert(slug);
        file.slug = slug;
        file.platforms = i < forcedPlatformCount ? kForcedPlatforms[i] : RandomPlatforms(rng);
        const int descriptionForm = i < forced ? i % kDescriptionForms : rng.Below(kDescriptionForms);
        file.descriptionHtml = FileDescription(rng, descriptionForm, name.product,
                                               baseUrl + QStringLiteral("/download/") + slug + QStringLiteral(".html"));
        file.licence = Text(rng.Pick(kLicences));
        file.size = rng.Percent(30) ? QString::number(rng.Between(200, 990)) + QStringLiteral(" KB")
                                    : QString::number(rng.Between(1, 250)) + '.' + QString::number(rng.Between(0, 9)) +
                                          QStringLiteral(" MB");
        files.push_back(file);
    }
    for (int i = count - 1; i > 0; --i)
        std::swap(files[static_cast<std::size_t>(i)], files[static_cast<std::size_t>(rng.Below(i + 1))]);
    return files;
}

QString PlatformIcons(int platforms)
{
    static const struct
    {
        int bit;
        const char* icon;
    } icons[] = {
        {kWindows, "<i class=\"fab fa-windows\" title=\"Windows\"></i>"},
        {kLinux, "<i class=\"fab fa-linux\" title=\"Linux\"></i>"},
        {kApple, "<i class=\"fab fa-apple\" title=\"macOS\"></i>"},
        {kAndroid, "<i class=\"fab fa-android\" title=\"Android\"></i>"},
    };
    QString html = QStringLiteral("<span class=\"zibyicons\">");
    for (const auto& icon : icons) {
        if ((platforms & icon.bit) != 0)
            html += Text(icon.icon);
    }
    return html + QStringLiteral("</span> ");
}

// One day block. Entries are separated by comment lines: the client takes
// each entry when it meets the next line starting with "<!--", so exactly one
// such line follows every entry and the footer closes the last one.
void DayBlock(Page& page, const QDate& day, const std::vector<FileItem>& files)
{
    page.Line(QStringLiteral("<div class=\"zibday\">"));
    page.Line(kDayHeader);
    page.Line(QStringLiteral("<div class=\"zibydate\">&nbsp;") + DayDateText(day) + QStringLiteral("</div>"));
    page.Line(QStringLiteral("<div class=\"zibyfiles\">"));
    for (std::size_t i = 0; i < files.size(); ++i) {
        const FileItem& file = files[i];
        if (i > 0)
            page.Line(kDayItemSeparator);
        page.Line(QStringLiteral("<div class=\"zibyentry\">"));
        page.Line(QStringLiteral("<div class=\"zibytitle\">") + PlatformIcons(file.platforms) +
                  QStringLiteral("<a href=\"download/") + file.slug + QStringLiteral(".html\">") + file.nameHtml +
                  QStringLiteral("</a> <span class=\"zibysize\">") + file.size + QStringLiteral("</span></div>"));
        page.Line(QStringLiteral("<div class=\"zibyinsidecontent\">") + file.descriptionHtml +
                  QStringLiteral("</div>"));
        page.Line(QStringLiteral("<div class=\"zibymeta\">") + file.licence + QStringLiteral(" &middot; ") + file.size +
                  QStringLiteral("</div>"));
        page.Line(QStringLiteral("</div>"));
    }
    page.Line(QStringLiteral("</div>"));
    page.Line(kDayFooter);
    page.Line(QStringLiteral("</div>"));
}

SitePage FilePage(const FileItem& file, const QString& phrase, int year)
{
    return TextPage(file.nameHtml,
                    {file.descriptionHtml, QStringLiteral("Licence: ") + file.licence,
                     QStringLiteral("Size: ") + file.size,
                     QStringLiteral("<a href=\"#\" class=\"zibdownload\">Download now</a>")},
                    phrase, year);
}

// ---------------------------------------------------------------- news

enum class TitleKind {
    Plain,
    Exclamation,
    Video,
    ExclamationAndVideo,
    HowTo,
    WhatIs,
    HowToVideo,
};

struct NewsEntry
{
    QString titleHtml;
    QString path;
    QString link;
};

QString ProductName(Rng& rng)
{
    return Text(rng.Pick(kFirstWords)) + ' ' + Text(rng.Pick(kSecondWords));
}

// Video titles end in " (video)", taking the three letter cases in turn.
QString VideoSuffix(int& videos)
{
    static const char* const suffixes[] = {" (video)", " (Video)", " (VIDEO)"};
    return Text(suffixes[videos++ % 3]);
}

QString NewsTitle(Rng& rng, TitleKind kind, int year, int& videos)
{
    const QString product = ProductName(rng);
    const QString company = Text(rng.Pick(kCompanies));
    switch (kind) {
    case TitleKind::Exclamation:
        return rng.Percent(50)
                   ? QStringLiteral("Update now! ") + company + QStringLiteral(" patches a flaw in ") + product
                   : product + QStringLiteral(" is free this week!");
    case TitleKind::Video:
    case TitleKind::HowToVideo:
        return (rng.Percent(50) ? QStringLiteral("Hands-on with ") + product + ' ' + Version(rng)
                                : product + QStringLiteral(": what&#8217;s new")) +
               VideoSuffix(videos);
    case TitleKind::ExclamationAndVideo:
        return QStringLiteral("Big news! ") + product + QStringLiteral(" is out") + VideoSuffix(videos);
    default:
        break;
    }
    switch (rng.Below(5)) {
    case 0:
        return product + ' ' + Version(rng) + QStringLiteral(" released");
    case 1:
        return company + QStringLiteral(" fixes ") + QString::number(rng.Between(2, 40)) +
               QStringLiteral(" security flaws in ") + product;
    case 2:
        return company + QStringLiteral(" ends support for ") + product + ' ' + QString::number(rng.Between(2, 9));
    case 3:
        return product + QStringLiteral(" &amp; ") + Text(rng.Pick(kSecondWords)) +
               QStringLiteral(" merge into one app");
    default:
        return QStringLiteral("Report: ") + QString::number(rng.Between(5, 60)) +
               QStringLiteral("% of users still run ") + product + QStringLiteral(" from ") +
               QString::number(year - rng.Between(3, 9));
    }
}

QString ArticleTitle(Rng& rng, TitleKind kind, int year, int& videos)
{
    switch (kind) {
    case TitleKind::Exclamation:
        return rng.Percent(50) ? QStringLiteral("Stop doing this to your SSD!")
                               : QStringLiteral("Back up your files today!");
    case TitleKind::Video:
        return Text(rng.Pick(kSecondWords)) + QStringLiteral(" set-up in five minutes") + VideoSuffix(videos);
    case TitleKind::HowToVideo:
        return QStringLiteral("How To Fix Your PC") + VideoSuffix(videos);
    case TitleKind::ExclamationAndVideo:
        return QStringLiteral("Don&#8217;t miss these tools!") + VideoSuffix(videos);
    case TitleKind::HowTo: {
        static const char* const starts[] = {"How to ", "How To ", "HOW TO "};
        return Text(rng.Pick(starts)) + Text(rng.Pick(kTasks));
    }
    case TitleKind::WhatIs: {
        static const char* const starts[] = {"What is ", "What Is ", "WHAT IS "};
        return Text(rng.Pick(starts)) + Text(rng.Pick(kTerms)) +
               (rng.Percent(50) ? QStringLiteral("?") : QStringLiteral(" and do you need one?"));
    }
    case TitleKind::Plain:
        break;
    }
    switch (rng.Below(4)) {
    case 0:
        return QStringLiteral("Ten tools for ") + Text(rng.Pick(kTopics));
    case 1:
        return QStringLiteral("The best free ") + Text(rng.Pick(kSecondWords)) + QStringLiteral(" apps of ") +
               QString::number(year);
    case 2:
        return ProductName(rng) + QStringLiteral(" vs. ") + ProductName(rng) + QStringLiteral(": which one to pick");
    default:
        return QStringLiteral("Our favourite ") + Text(rng.Pick(kSecondWords)) + QStringLiteral(" tips &amp; tricks");
    }
}

// Channel links come in the three forms the client accepts: "/..." and
// absolute addresses, whose scheme may be written in capitals.
QString ChannelLink(Rng& rng, int index, const QString& path, const QString& baseUrl)
{
    const int form = index < 2 ? index : (rng.Percent(75) ? 2 : rng.Below(2));
    if (form == 0)
        return baseUrl + path;
    if (form == 1) {
        const qsizetype colon = baseUrl.indexOf(':');
        return baseUrl.left(colon).toUpper() + baseUrl.mid(colon) + path;
    }
    return path;
}

std::vector<NewsEntry> ChannelEntries(Rng& rng, bool articles, int firstId, const QString& baseUrl, int year)
{
    const std::vector<TitleKind> forced =
        articles ? std::vector<TitleKind>{TitleKind::Exclamation, TitleKind::Video,
                                          TitleKind::HowTo,       TitleKind::HowTo,
                                          TitleKind::WhatIs,      TitleKind::WhatIs,
                                          TitleKind::HowToVideo,  TitleKind::ExclamationAndVideo,
                                          TitleKind::Plain}
                 : std::vector<TitleKind>{TitleKind::Exclamation,         TitleKind::Video, TitleKind::Video,
                                          TitleKind::ExclamationAndVideo, TitleKind::Plain, TitleKind::Plain};
    const int count = rng.Between(16, 24);
    std::vector<TitleKind> kinds(static_cast<std::size_t>(count), TitleKind::Plain);
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        if (i < forced.size())
            kinds[i] = forced[i];
        else if (rng.Percent(30))
            kinds[i] = forced[static_cast<std::size_t>(rng.Below(static_cast<int>(forced.size())))];
    }
    for (int i = count - 1; i > 0; --i)
        std::swap(kinds[static_cast<std::size_t>(i)], kinds[static_cast<std::size_t>(rng.Below(i + 1))]);

    std::vector<NewsEntry> entries;
    int videos = 0;
    for (int i = 0; i < count; ++i) {
        NewsEntry entry;
        const TitleKind kind = kinds[static_cast<std::size_t>(i)];
        entry.titleHtml = articles ? ArticleTitle(rng, kind, year, videos) : NewsTitle(rng, kind, year, videos);
        entry.path = QStringLiteral("/news/story/") + QString::number(firstId + i) + QStringLiteral(".html");
        entries.push_back(entry);
    }
    // Which items carry absolute links is shuffled separately from the titles.
    std::vector<int> order(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        order[static_cast<std::size_t>(i)] = i;
    for (int i = count - 1; i > 0; --i)
        std::swap(order[static_cast<std::size_t>(i)], order[static_cast<std::size_t>(rng.Below(i + 1))]);
    for (int i = 0; i < count; ++i) {
        NewsEntry& entry = entries[static_cast<std::size_t>(order[static_cast<std::size_t>(i)])];
        entry.link = ChannelLink(rng, i, entry.path, baseUrl);
    }
    return entries;
}

SitePage ChannelPage(const QString& heading, const std::vector<NewsEntry>& entries, bool leadingBreaks,
                     const QDate& today, const QString& phrase)
{
    Page page;
    PageTop(page, heading + QStringLiteral(" - Zorvane"), phrase);
    page.Line(QStringLiteral("<div id=\"zibcontent\">"));
    page.Line(QStringLiteral("<h1>") + heading + QStringLiteral("</h1>"));
    page.Line(kChannelStart);
    // The client skips one character more than the marker, which eats the CR
    // of this line break: the line right after the marker must not be an item.
    page.Line(QStringLiteral("<div class=\"zibchannel\">"));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i % 6 == 0) {
            const QDate day = today.addDays(-static_cast<qint64>(i / 6));
            page.Line(QStringLiteral("<div class=\"zibchanneldate\">") + EnglishDate(day, QStringLiteral("MMMM d")) +
                      QStringLiteral("</div>"));
        }
        const NewsEntry& entry = entries[i];
        const QString item = QStringLiteral("&middot; <a href=\"") + entry.link + QStringLiteral("\">") +
                             entry.titleHtml + QStringLiteral("</a>");
        if (leadingBreaks)
            page.Line((i % 4 == 1 ? QStringLiteral("    <br />") : QStringLiteral("<br>")) + item);
        else
            page.Line((i % 5 == 2 ? QStringLiteral("  ") : QString()) + item + QStringLiteral("<br />"));
    }
    page.Line(QStringLiteral("</div>"));
    page.Line(kChannelEnd);
    page.Line(QStringLiteral("<div class=\"zibarchive\"><a href=\"/news/archive.html\">Older stories</a></div>"));
    page.Line(QStringLiteral("</div>"));
    PageBottom(page, today.year());
    return HtmlPage(page);
}

// ---------------------------------------------------------------- pictures

struct Photo
{
    int id = 0;
    QString titleHtml;
    ImageFormat format = ImageFormat::Png;
    ImageShape shape = ImageShape::Wide;
};

constexpr int kPhotoCount = 9; // every format with every shape

std::vector<Photo> Photos(Rng& rng, uint64_t combinationSeed)
{
    static const ImageFormat formats[] = {ImageFormat::Png, ImageFormat::Jpeg, ImageFormat::Gif};
    static const ImageShape shapes[] = {ImageShape::Wide, ImageShape::Tall, ImageShape::Square};
    const int firstId = rng.Between(9000, 9800);
    const int firstCombination = static_cast<int>(combinationSeed % kPhotoCount);
    std::vector<Photo> photos;
    for (int i = 0; i < kPhotoCount; ++i) {
        Photo photo;
        photo.id = firstId + i;
        const int combination = (firstCombination + i) % kPhotoCount;
        photo.format = formats[combination / 3];
        photo.shape = shapes[combination % 3];
        photo.titleHtml = Text(rng.Pick(kMoods)) + ' ' + Text(rng.Pick(kPlaces)) + ' ' + Text(rng.Pick(kMoments));
        photos.push_back(photo);
    }
    return photos;
}

SitePage PictureChannelPage(const std::vector<Photo>& photos, const QDate& today, const QString& phrase)
{
    Page page;
    PageTop(page, QStringLiteral("Way Off Base - Zorvane"), phrase);
    // Item lines before the story list: only those after its marker count.
    page.Line(QStringLiteral("<div id=\"zibsidebar\">"));
    page.Line(QStringLiteral("<h3>Channels</h3>"));
    page.Line(QStringLiteral("&middot; <a href=\"/news/channels/news.html\">News</a><br />"));
    page.Line(QStringLiteral("&middot; <a href=\"/news/channels/site_news.html\">Articles</a><br />"));
    page.Line(QStringLiteral("</div>"));
    page.Line(QStringLiteral("<div id=\"zibcontent\">"));
    page.Line(QStringLiteral("<h1>Way Off Base</h1>"));
    page.Line(kStoryListStart);
    page.Line(QStringLiteral("<div class=\"zibstories\">"));
    for (const Photo& photo : photos) {
        page.Line(QStringLiteral("&middot; <a href=\"/news/story/") + QString::number(photo.id) +
                  QStringLiteral(".html\">Random Photo: ") + photo.titleHtml + QStringLiteral("</a><br />"));
    }
    page.Line(QStringLiteral("</div>"));
    page.Line(QStringLiteral("</div>"));
    PageBottom(page, today.year());
    return HtmlPage(page);
}

SitePage PhotoStoryPage(const Photo& photo, const QString& imageUrl, const QDate& today, const QString& phrase)
{
    const QSize size = ShapeSize(photo.shape);
    Page page;
    PageTop(page, QStringLiteral("Random Photo: ") + photo.titleHtml + QStringLiteral(" - Zorvane"), phrase);
    page.Line(QStringLiteral("<div id=\"zibcontent\">"));
    page.Line(QStringLiteral("<h1>Random Photo: ") + photo.titleHtml + QStringLiteral("</h1>"));
    page.Line(QStringLiteral("<center><img src=\"") + imageUrl + QStringLiteral("\" alt=\"") + photo.titleHtml +
              QStringLiteral("\" width=\"") + QString::number(size.width()) + QStringLiteral("\" height=\"") +
              QString::number(size.height()) + QStringLiteral("\"></center>"));
    page.Line(QStringLiteral("<p>Sent in by a reader on ") + EnglishDate(today, QStringLiteral("MMMM d, yyyy")) +
              QStringLiteral(". Have a photo of your own? Send it in!</p>"));
    page.Line(QStringLiteral("</div>"));
    PageBottom(page, today.year());
    return HtmlPage(page);
}

const char kStyleSheet[] = "body { margin: 0; font-family: Arial, sans-serif; background: rgb(255,255,235); }\r\n"
                           "#zibheader { background: rgb(96,97,74); color: rgb(225,225,187); padding: 8px; }\r\n"
                           "#zibheader a { color: rgb(255,255,235); }\r\n"
                           "#zibnav { background: rgb(66,67,54); margin: 0; padding: 4px 8px; }\r\n"
                           "#zibnav li { display: inline; margin-right: 12px; }\r\n"
                           "#zibnav a { color: rgb(225,225,187); text-decoration: none; }\r\n"
                           "#zibcontent { padding: 8px 16px; }\r\n"
                           ".zibydate { font-weight: bold; margin-top: 16px; }\r\n"
                           ".zibyentry { margin: 6px 0; }\r\n"
                           ".zibymeta, .zibysize { color: rgb(96,97,74); font-size: small; }\r\n"
                           "#zibfooter { border-top: 1px solid rgb(66,67,54); padding: 8px; font-size: small; }\r\n";

} // namespace

QString DayDateText(const QDate& date)
{
    return EnglishDate(date, QStringLiteral("dddd, MMMM dd, yyyy"));
}

SitePages GenerateSite(const QDate& today, uint32_t seed, const QString& baseUrl)
{
    SitePages pages;
    if (!today.isValid())
        return pages;
    const int year = today.year();
    const uint64_t dayNumber = static_cast<uint64_t>(today.toJulianDay());
    Rng siteRng(MixSeed(seed, dayNumber));
    const QString phrase = Text(kPhrases[MixSeed(seed, 0) % std::size(kPhrases)]);

    // Channels first: the home page's side bar links to the top news.
    const int newsFirstId = siteRng.Between(4000, 4800);
    const int articlesFirstId = siteRng.Between(6000, 6800);
    const std::vector<NewsEntry> news = ChannelEntries(siteRng, false, newsFirstId, baseUrl, year);
    const std::vector<NewsEntry> articles = ChannelEntries(siteRng, true, articlesFirstId, baseUrl, year);
    pages[QStringLiteral("/news/channels/news.html")] = ChannelPage(QStringLiteral("News"), news, false, today, phrase);
    pages[QStringLiteral("/news/channels/site_news.html")] =
        ChannelPage(QStringLiteral("Articles"), articles, true, today, phrase);
    for (const auto* list : {&news, &articles}) {
        for (const NewsEntry& entry : *list) {
            pages[entry.path] = TextPage(entry.titleHtml,
                                         {QStringLiteral("Posted on ") + DayDateText(today) + '.',
                                          QStringLiteral("The full story would be here. Comments are closed.")},
                                         phrase, year);
        }
    }

    const std::vector<Photo> photos = Photos(siteRng, MixSeed(seed, dayNumber ^ 0x50));
    pages[QStringLiteral("/news/channels/way_off_base.html")] = PictureChannelPage(photos, today, phrase);
    for (const Photo& photo : photos) {
        ImageFormat format = photo.format;
        const QImage image = DrawLandscape(photo.shape, MixSeed(seed, static_cast<uint64_t>(photo.id)));
        QByteArray bytes = EncodeImage(image, format);
        if (bytes.isEmpty()) { // no JPEG writer in this Qt: fall back to PNG
            format = ImageFormat::Png;
            bytes = EncodeImage(image, format);
        }
        const QString imagePath = QStringLiteral("/images/potd/") + QString::number(photo.id) + '-' +
                                  ShapeName(photo.shape) + '.' + FormatExtension(format);
        pages[imagePath] = {bytes, FormatContentType(format)};
        pages[QStringLiteral("/news/story/") + QString::number(photo.id) + QStringLiteral(".html")] =
            PhotoStoryPage(photo, baseUrl + imagePath, today, phrase);
    }

    const QDate yesterday = today.addDays(-1);
    const std::vector<FileItem> todayFiles = DayFiles(today, seed, baseUrl);
    const std::vector<FileItem> yesterdayFiles = DayFiles(yesterday, seed, baseUrl);

    Page home;
    PageTop(home, QStringLiteral("Zorvane - Software downloads, news and reviews"), phrase);
    home.Line(QStringLiteral("<div id=\"zibcontent\">"));
    home.Line(QStringLiteral("<h1>Latest files</h1>"));
    DayBlock(home, today, todayFiles);
    // Comment lines outside the day blocks are not entries.
    home.Line(QStringLiteral("<!-- advertisement -->"));
    home.Line(QStringLiteral("<div class=\"zibad\">Advertisement</div>"));
    DayBlock(home, yesterday, yesterdayFiles);
    home.Line(QStringLiteral("</div>"));
    home.Line(QStringLiteral("<div id=\"zibsidebar\">"));
    home.Line(QStringLiteral("<h3>Top news</h3>"));
    home.Line(QStringLiteral("<ul>"));
    for (std::size_t i = 0; i < std::min<std::size_t>(5, news.size()); ++i)
        home.Line(QStringLiteral("    <li><a href=\"") + news[i].path + QStringLiteral("\">") + news[i].titleHtml +
                  QStringLiteral("</a></li>"));
    home.Line(QStringLiteral("</ul>"));
    home.Line(QStringLiteral("</div>"));
    PageBottom(home, year);
    pages[QStringLiteral("/")] = HtmlPage(home);

    for (const auto* files : {&todayFiles, &yesterdayFiles}) {
        for (const FileItem& file : *files)
            pages.emplace(QStringLiteral("/download/") + file.slug + QStringLiteral(".html"),
                          FilePage(file, phrase, year));
    }
    pages[QStringLiteral("/content/page/zv_search.html")] =
        TextPage(QStringLiteral("Search"),
                 {QStringLiteral("Search results are not available on this copy of the site."),
                  QStringLiteral("<a href=\"/\">Back to the latest files</a>")},
                 phrase, year);
    pages[QStringLiteral("/content/page/privacy.html")] = TextPage(
        QStringLiteral("Privacy"), {QStringLiteral("This site keeps no record of your visits.")}, phrase, year);
    pages[QStringLiteral("/news/archive.html")] =
        TextPage(QStringLiteral("Archive"), {QStringLiteral("Older stories are kept for a year.")}, phrase, year);
    pages[QStringLiteral("/css/zorvane.css")] = {QByteArray(kStyleSheet), "text/css; charset=utf-8"};
    return pages;
}

QByteArray NotFoundPage(int year)
{
    Page page;
    PageTop(page, QStringLiteral("Not Found - Zorvane"), Text(kPhrases[0]));
    page.Line(QStringLiteral("<div id=\"zibcontent\">"));
    page.Line(QStringLiteral("<h1>Not Found</h1>"));
    page.Line(QStringLiteral("<p>The page you asked for is not here. <a href=\"/\">Latest files</a></p>"));
    page.Line(QStringLiteral("</div>"));
    PageBottom(page, year);
    return page.Bytes();
}

} // namespace samplesite
