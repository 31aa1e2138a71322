#include "content/day_scraper.h"

#include "support/qstring_print.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <random>
#include <vector>

namespace {

const QString Base = QStringLiteral("http://127.0.0.1:1");
const QString Item = QStringLiteral("<!-- Template: files_day_rss_item -->");
const QString Header = QStringLiteral("<!-- Template: files_day_rss_header -->");
const QString Footer = QStringLiteral("<!-- Template files_day_rss_footer -->");
const QString Mark = QString(QChar(0x25CF));

// Page pieces in the site's form; lines are joined with CR LF.
QString Lines(std::initializer_list<QString> lines)
{
    QStringList list(lines);
    return list.join(QStringLiteral("\r\n"));
}

QString Date(const QString& text)
{
    return QStringLiteral("<div class=\"zibydate\">&nbsp;") + text + QStringLiteral("</div>");
}

QString Title(const QString& icons, const QString& href, const QString& anchorText)
{
    QString line = QStringLiteral("<div class=\"zibytitle\">");
    for (const QChar c : icons) {
        const char* icon = c == u'W' ? "windows" : c == u'L' ? "linux" : c == u'A' ? "apple" : "android";
        line += QStringLiteral("<i class=\"fab fa-%1\"></i> ").arg(QString::fromLatin1(icon));
    }
    return line + QStringLiteral("<a href=\"") + href + QStringLiteral("\">") + anchorText +
           QStringLiteral("</a></div>");
}

QString Desc(const QString& text)
{
    return QStringLiteral("<div class=\"zibyinsidecontent\">") + text + QStringLiteral("</div>");
}

/// One file as the site writes it: item comment, title, description.
QString File(const QString& name, const QString& description = QStringLiteral("Text."),
             const QString& icons = QStringLiteral("W"))
{
    QString href = name.toLower();
    href.replace(u' ', u'-');
    return Lines(
        {Item, Title(icons, QStringLiteral("download/") + href + QStringLiteral(".html"), name), Desc(description)});
}

QString Block(const QString& date, std::initializer_list<QString> files)
{
    QStringList lines{Header, Date(date)};
    for (const QString& f : files)
        lines << f;
    lines << Footer;
    return lines.join(QStringLiteral("\r\n"));
}

settings::AppSettings Settings(const QString& platform = QStringLiteral("All"), int64_t versionShown = 1)
{
    settings::AppSettings s;
    s.Platform = platform;
    s.Version_Shown = versionShown;
    return s;
}

QStringList Names(const QList<content::FileRow>& rows)
{
    QStringList names;
    for (const content::FileRow& r : rows)
        names << r.name;
    return names;
}

content::DayScan Scan(const QString& page, const settings::AppSettings& s = Settings(),
                      const QString& filter = QString())
{
    return content::ScanDayPage(content::TakeDayPage(page).dayPageText, s, filter, Base);
}

const QString Fri = QStringLiteral("Friday, December 04, 2026");
const QString Thu = QStringLiteral("Thursday, December 03, 2026");
const QString Wed = QStringLiteral("Wednesday, December 02, 2026");

} // namespace

TEST(ScanDayPage, DayBlocksFillTodayThenYesterday)
{
    const QString a = File(QStringLiteral("Alpha"));
    const QString b = File(QStringLiteral("Beta"));
    const QString c = File(QStringLiteral("Gamma"));
    const QString d = File(QStringLiteral("Delta"));
    const std::optional<QString> fri = QStringLiteral("Fri December 04, 2026 ");
    const std::optional<QString> thu = QStringLiteral("Thu December 03, 2026 ");
    const std::optional<QString> wed = QStringLiteral("Wed December 02, 2026 ");
    const std::optional<QString> none;
    auto crlfAs = [](QString page, const char* lineEnd) {
        return page.replace(QStringLiteral("\r\n"), QString::fromLatin1(lineEnd));
    };
    const struct
    {
        const char* what;
        QString page;
        QStringList today, yesterday;
        std::optional<QString> tab0, tab1;
    } rows[] = {
        // clang-format off
        {"two blocks", Lines({QStringLiteral("<html>"), Block(Fri, {a, b}), Block(Thu, {c}), QStringLiteral("</html>")}),
         {"Alpha", "Beta"}, {"Gamma"}, fri, thu},
        {"three blocks: tab 1 shows the last", Lines({Block(Fri, {a}), Block(Thu, {b}), Block(Wed, {c, d})}),
         {"Alpha"}, {"Beta", "Gamma", "Delta"}, fri, wed},
        {"one block: tab 1 repeats tab 0", Block(Fri, {a, b}), {"Alpha", "Beta"}, {}, fri, fri},
        {"no header: nothing", Lines({Date(Fri), a, Footer}), {}, {}, none, none},
        {"empty page", QString(), {}, {}, none, none},
        {"header only", Header, {}, {}, none, none},
        {"cut after the last file: held entry not emitted", Lines({Header, Date(Fri), a, b}), {"Alpha"}, {}, fri, none},
        {"cut after a comment line: emitted", Lines({Header, Date(Fri), a, Item}), {"Alpha"}, {}, fri, none},
        {"cut inside the second block", Lines({Block(Fri, {a}), Header, Date(Thu), b, c}), {"Alpha"}, {"Beta"}, fri, fri},
        {"cut in the middle of a title line", Lines({Header, Date(Fri), a, b.left(b.size() - 30)}) + Item,
         {"Alpha"}, {}, fri, none},
        {"cut between CR and LF: the footer line keeps its CR", Block(Fri, {a}) + QStringLiteral("\r"),
         {"Alpha"}, {}, fri, none},
        // The colon footer and the next header are both comment lines; Alpha still comes once.
        {"footer with a colon does not end the block",
         Lines({Header, Date(Fri), a, QStringLiteral("<!-- Template: files_day_rss_footer -->"), Block(Thu, {b})}),
         {"Alpha", "Beta"}, {}, fri, thu},
        {"CR-only page is one line", crlfAs(Block(Fri, {a, b}), "\r"), {}, {}, none, none},
        {"LF-only page is one line", crlfAs(Block(Fri, {a, b}), "\n"), {}, {}, none, none},
        {"LF CR is not a line end", crlfAs(Block(Fri, {a}), "\n\r"), {}, {}, none, none},
        {"header must be the whole line", Lines({QStringLiteral("x") + Header, Date(Fri), a, Footer}), {}, {}, none, none},
        {"spaces and a break around header and footer are cleaned",
         Lines({QStringLiteral("  ") + Header + QStringLiteral("  "), Date(Fri), a,
                QStringLiteral(" <br />") + Footer + QStringLiteral(" ")}),
         {"Alpha"}, {}, fri, fri},
        {"a tab before the footer hides it", Lines({Header, Date(Fri), a, QStringLiteral("\t") + Footer, b, Footer}),
         {"Alpha", "Beta"}, {}, fri, fri},
        {"block without date line: tab 1 gets a space", Lines({Header, a, Footer}), {"Alpha"}, {}, none,
         QStringLiteral(" ")},
        {"text between blocks is skipped", Lines({Block(Fri, {a}), b, Item, Block(Thu, {c})}), {"Alpha"}, {"Gamma"},
         fri, thu},
        {"comment before the next block's first file does not repeat the last one",
         Lines({Block(Fri, {a}), Header, Date(Thu), Item, Item, b, Footer}), {"Alpha"}, {"Beta"}, fri, thu},
        {"zero units in the page become blanks", Block(Fri, {File(QStringLiteral("Al\u0000pha")), b}),
         {QStringLiteral("Al pha"), QStringLiteral("Beta")}, {}, fri, fri},
        // clang-format on
    };
    for (const auto& r : rows) {
        const content::DayScan scan = Scan(r.page);
        EXPECT_EQ(Names(scan.today), r.today) << r.what;
        EXPECT_EQ(Names(scan.yesterday), r.yesterday) << r.what;
        EXPECT_EQ(scan.tab0Caption, r.tab0) << r.what;
        EXPECT_EQ(scan.tab1Caption, r.tab1) << r.what;
    }
}

TEST(ScanDayPage, EntriesAreEmittedAtCommentLines)
{
    const QString t1 = Title(QStringLiteral("W"), QStringLiteral("d/one.html"), QStringLiteral("One"));
    const QString t2 = Title(QStringLiteral("W"), QStringLiteral("d/two.html"), QStringLiteral("Two"));
    const QString t3 = Title(QStringLiteral("L"), QStringLiteral("d/three.html"), QStringLiteral("Three"));
    const struct
    {
        const char* what;
        QString page;
        QStringList today;
        QStringList descriptions;
    } rows[] = {
        {"footer right after an entry emits it",
         Lines({Header, t1, Desc(QStringLiteral("A")), Footer}),
         {"One"},
         {"A."}},
        {"more comment lines add nothing: one row per title",
         Lines({Header, t1, Desc(QStringLiteral("A")), Item, QStringLiteral("<!-- x -->"), Footer}),
         {"One"},
         {"A."}},
        {"a file without description does not take the previous one's",
         Lines({Header, t1, Desc(QStringLiteral("A")), Item, t2, Footer}),
         {"One", "Two"},
         {"A.", "."}},
        {"a later description line replaces it before emitting",
         Lines({Header, t1, Desc(QStringLiteral("A")), Desc(QStringLiteral("B")), Footer}),
         {"One"},
         {"B."}},
        {"a description before any title is held for the first file",
         Lines({Header, Desc(QStringLiteral("A")), t1, Footer}),
         {"One"},
         {"A."}},
        {"no description at all gives a lone full stop", Lines({Header, t1, Footer}), {"One"}, {"."}},
        {"a dropped title clears the held name", Lines({Header, t1, Item, t3, Item, Footer}), {"One"}, {"."}},
        {"non-comment lines do not emit",
         Lines({Header, t1, QStringLiteral("<div>x</div>"), QStringLiteral(" <!-")}),
         {},
         {}},
        {"a comment line after a break and spaces still counts",
         Lines({Header, t1, QStringLiteral("  <br><!-- -->"), QStringLiteral("<br><br><!--")}),
         {"One"},
         {"."}},
        {"the date marker wins over a title on the same line",
         Lines({Header, Date(Fri) + t1, Item, t2 + Desc(QStringLiteral("Q")), Item, t2, Footer}),
         {"Two"},
         {"Q."}},
        {"the description marker wins over a title on the same line",
         Lines({Header, t2 + Desc(QStringLiteral("Q")), Footer}),
         {},
         {}},
    };
    settings::AppSettings s = Settings(QStringLiteral("Windows"));
    for (const auto& r : rows) {
        const content::DayScan scan = Scan(r.page, s);
        EXPECT_EQ(Names(scan.today), r.today) << r.what;
        QStringList descriptions;
        for (const content::FileRow& row : scan.today)
            descriptions << row.description;
        EXPECT_EQ(descriptions, r.descriptions) << r.what;
    }
}

TEST(ScanDayPage, TitleLineGivesPlatformCellNameAndLink)
{
    auto cellOf = [](bool w, bool l, bool a, bool d) {
        QString c = QStringLiteral(" ");
        for (bool on : {w, l, a, d})
            c += (on ? Mark : QStringLiteral("  ")) + QStringLiteral("   ");
        return c;
    };
    const struct
    {
        const char* what;
        QString titleLine;
        const char* platform;
        int64_t versionShown;
        std::optional<content::FileRow> row;
    } rows[] = {
        {"Linux and Apple under Windows: dropped",
         Title(QStringLiteral("LA"), QStringLiteral("d/x.html"), QStringLiteral("X")), "Windows", 1, std::nullopt},
        {"Linux and Apple under All", Title(QStringLiteral("LA"), QStringLiteral("d/x.html"), QStringLiteral("X")),
         "All", 1,
         content::FileRow{cellOf(false, true, true, false), QStringLiteral("X"), QStringLiteral("."),
                          Base + QStringLiteral("/d/x.html")}},
        {"Windows and Android", Title(QStringLiteral("WD"), QStringLiteral("d/x.html"), QStringLiteral("X")), "Android",
         1,
         content::FileRow{cellOf(true, false, false, true), QStringLiteral("X"), QStringLiteral("."),
                          Base + QStringLiteral("/d/x.html")}},
        {"Apple answers to MacOS", Title(QStringLiteral("WA"), QStringLiteral("x"), QStringLiteral("X")), "MacOS", 1,
         content::FileRow{cellOf(true, false, true, false), QStringLiteral("X"), QStringLiteral("."),
                          Base + QStringLiteral("/x")}},
        {"Windows and Apple under Linux", Title(QStringLiteral("WA"), QStringLiteral("x"), QStringLiteral("X")),
         "Linux", 1, std::nullopt},
        {"no icon never matches, not even All", Title(QString(), QStringLiteral("x"), QStringLiteral("X")), "All", 1,
         std::nullopt},
        {"icon order in the line does not matter",
         Title(QStringLiteral("DW"), QStringLiteral("x"), QStringLiteral("X")), "All", 1,
         content::FileRow{cellOf(true, false, false, true), QStringLiteral("X"), QStringLiteral("."),
                          Base + QStringLiteral("/x")}},
        {"entities and tags in the anchor text",
         Title(QStringLiteral("W"), QStringLiteral("d/foo.html"), QStringLiteral(" Foo &amp; Bar 2.1 <b>beta</b> ")),
         "All", 1,
         content::FileRow{cellOf(true, false, false, false), QStringLiteral("Foo & Bar 2.1 beta"), QStringLiteral("."),
                          Base + QStringLiteral("/d/foo.html")}},
        {"versions hidden", Title(QStringLiteral("W"), QStringLiteral("x"), QStringLiteral("Foo Bar 2.1 Beta")), "All",
         0,
         content::FileRow{cellOf(true, false, false, false), QStringLiteral("Foo Bar"), QStringLiteral("."),
                          Base + QStringLiteral("/x")}},
        {"versions hidden: build number",
         Title(QStringLiteral("W"), QStringLiteral("x"), QStringLiteral("Foo Build 2024")), "All", 0,
         content::FileRow{cellOf(true, false, false, false), QStringLiteral("Foo"), QStringLiteral("."),
                          Base + QStringLiteral("/x")}},
        {"only 0 hides versions", Title(QStringLiteral("W"), QStringLiteral("x"), QStringLiteral("Foo 2")), "All", 2,
         content::FileRow{cellOf(true, false, false, false), QStringLiteral("Foo 2"), QStringLiteral("."),
                          Base + QStringLiteral("/x")}},
        {"missing anchor: empty name, not emitted",
         QStringLiteral("<div class=\"zibytitle\"><i class=\"fab fa-windows\"></i> Foo</div>"), "All", 1, std::nullopt},
        {"anchor without closing tag: not emitted",
         QStringLiteral("<div class=\"zibytitle\"><i class=\"fab fa-windows\"></i><a href=\"x\">Foo</div>"), "All", 1,
         std::nullopt},
        {"anchor without href end: first character dropped, bare link",
         QStringLiteral("<div class=\"zibytitle\"><i class=\"fab fa-windows\"></i><a href=\"xFoo</a>"), "All", 1,
         content::FileRow{cellOf(true, false, false, false), QStringLiteral("Foo"), QStringLiteral("."),
                          Base + QStringLiteral("/")}},
        {"anchor text that is only tags: not emitted",
         Title(QStringLiteral("W"), QStringLiteral("x"), QStringLiteral("<b> </b>")), "All", 1, std::nullopt},
    };
    for (const auto& r : rows) {
        const content::DayScan scan =
            Scan(Lines({Header, r.titleLine, Footer}), Settings(QString::fromUtf8(r.platform), r.versionShown));
        if (!r.row) {
            EXPECT_TRUE(scan.today.isEmpty()) << r.what;
            continue;
        }
        ASSERT_EQ(scan.today.size(), 1) << r.what;
        EXPECT_EQ(scan.today[0], *r.row) << r.what;
    }
}

TEST(ScanDayPage, DescriptionLineIsCleaned)
{
    const struct
    {
        const char* what;
        QString line;
        QString out;
    } rows[] = {
        {"link text kept, the character after the link dropped",
         Desc(QStringLiteral("New version. <a href=\"x.html\">Read more</a>, now.")),
         QStringLiteral("New version. Read more now.")},
        {"link at the very end", Desc(QStringLiteral("See <a href=\"x\">here</a>")), QStringLiteral("See here.")},
        {"link followed by the full stop: it is dropped and added again",
         Desc(QStringLiteral("See <a href=\"x\">here</a>.")), QStringLiteral("See here.")},
        {"only the first link loses a character", Desc(QStringLiteral("<a href=\"1\">A</a>, <a href=\"2\">B</a>, c")),
         QStringLiteral("A B, c.")},
        {"a stray closing tag before the link repeats nothing", Desc(QStringLiteral("x</a> y <a href=\"1\">A</a>! z")),
         QStringLiteral("x y A z.")},
        {"link without closing tag: tags stripped only", Desc(QStringLiteral("x <a href=\"1\">A")),
         QStringLiteral("x A.")},
        {"bold and breaks removed, spaces collapsed", Desc(QStringLiteral("<b>Fixed</b>  crashes<br />")),
         QStringLiteral("Fixed crashes.")},
        {"many spaces collapse to one", Desc(QStringLiteral("a       b")), QStringLiteral("a b.")},
        {"entities decoded", Desc(QStringLiteral("Say &quot;hi&quot; &amp; caf&#233;")),
         QStringLiteral("Say \"hi\" & caf\u00e9.")},
        {"&amp;#65; stays a reference", Desc(QStringLiteral("&amp;#65;")), QStringLiteral("&#65;.")},
        {"&nbsp; stays", Desc(QStringLiteral("a&nbsp;b.")), QStringLiteral("a&nbsp;b.")},
        {"trimmed before the full stop", Desc(QStringLiteral("  text  ")), QStringLiteral("text.")},
        {"empty description", Desc(QString()), QStringLiteral(".")},
        {"no closing div: empty", QStringLiteral("<div class=\"zibyinsidecontent\">text"), QStringLiteral(".")},
        {"the first closing div ends it", Desc(QStringLiteral("a</div>b")), QStringLiteral("a.")},
        {"a full stop already there is kept single", Desc(QStringLiteral("Done.")), QStringLiteral("Done.")},
    };
    const QString title = Title(QStringLiteral("W"), QStringLiteral("x"), QStringLiteral("X"));
    for (const auto& r : rows) {
        const content::DayScan scan = Scan(Lines({Header, title, r.line, Footer}));
        ASSERT_EQ(scan.today.size(), 1) << r.what;
        EXPECT_EQ(scan.today[0].description, r.out) << r.what;
    }
}

TEST(ScanDayPage, DescriptionSpacesCollapseToOne)
{
    // Every mix of runs and words, at every length, must end as collapsing
    // pair by pair would: trimmed, every run one space, a final full stop.
    std::mt19937 rng(5);
    const QString title = Title(QStringLiteral("W"), QStringLiteral("x"), QStringLiteral("X"));
    for (int round = 0; round < 3000; ++round) {
        QString text;
        const int pieces = static_cast<int>(rng() % 12);
        for (int i = 0; i < pieces; ++i) {
            text += QString(static_cast<qsizetype>(rng() % 4), u' ');
            text += QString(static_cast<qsizetype>(rng() % 12), QChar(u'a' + static_cast<char16_t>(rng() % 26)));
        }
        QString expected = text.trimmed();
        while (expected.contains(QStringLiteral("  ")))
            expected.replace(QStringLiteral("  "), QStringLiteral(" "));
        if (!expected.endsWith(u'.'))
            expected += u'.';
        const content::DayScan scan = Scan(Lines({Header, title, Desc(text), Footer}));
        ASSERT_EQ(scan.today.size(), 1);
        ASSERT_EQ(scan.today[0].description, expected) << text.toStdString();
    }
}

TEST(ScanDayPage, DateLineGivesTheShortDayName)
{
    const struct
    {
        const char* what;
        QString line;
        QString caption;
    } rows[] = {
        {"first word cut to three letters", Date(QStringLiteral("Saturday, December 05, 2026")),
         QStringLiteral("Sat December 05, 2026 ")},
        {"double spaces collapse once", Date(QStringLiteral("Friday,  December 04, 2026")),
         QStringLiteral("Fri December 04, 2026 ")},
        {"four spaces leave two", Date(QStringLiteral("Friday,    December 04")), QStringLiteral("Fri  December 04 ")},
        {"no date text start: a single space", QStringLiteral("<div class=\"zibydate\">Friday</div>"),
         QStringLiteral("  ")},
        {"a word without space is repeated after its cut", Date(QStringLiteral("Friday")),
         QStringLiteral("Fri Friday ")},
        {"short first word", Date(QStringLiteral("Fr, x")), QStringLiteral("Fr, x ")},
        {"no closing div: a single space", QStringLiteral("<div class=\"zibydate\">&nbsp;Friday, x"),
         QStringLiteral("  ")},
    };
    for (const auto& r : rows) {
        const content::DayScan scan = Scan(Lines({Header, r.line, Footer}));
        EXPECT_EQ(scan.tab0Caption, r.caption) << r.what;
        EXPECT_EQ(scan.tab1Caption, r.caption) << r.what;
    }
    // Tab 0 keeps the first date; tab 1 takes the last date of the block that ended.
    const content::DayScan two = Scan(Lines({Header, Date(Fri), Date(Thu), Footer}));
    EXPECT_EQ(two.tab0Caption, QStringLiteral("Fri December 04, 2026 "));
    EXPECT_EQ(two.tab1Caption, QStringLiteral("Thu December 03, 2026 "));
}

TEST(ScanDayPage, FilterPlatformAndAlerts)
{
    const QString page = Lines(
        {Block(Fri, {File(QStringLiteral("Pack-Zip 24.08"), QStringLiteral("Archiver.")),
                     File(QStringLiteral("Kelvara Zip Tool 2"), QStringLiteral("Both.")),
                     File(QStringLiteral("Viewer 1"), QStringLiteral("A zip archive viewer."), QStringLiteral("L"))}),
         Block(Thu, {File(QStringLiteral("Pack-Zip 24.08"), QStringLiteral("Old."))})});
    const QStringList allToday{"Pack-Zip 24.08", "Kelvara Zip Tool 2", "Viewer 1"};
    const QStringList allYesterday{"Pack-Zip 24.08"};
    const struct
    {
        const char* what;
        const char *platform, *alertNames, *filter;
        int64_t highlight, versionShown;
        QStringList today, yesterday;
        const char* log;
        QList<qsizetype> alertRows;
    } rows[] = {
        // clang-format off
        {"alerts only in Today", "All", "kelvara,zip", "", 1, 1, allToday, allYesterday,
         "Pack-Zip 24.08\nKelvara Zip Tool 2\nKelvara Zip Tool 2\n", {0, 1}},
        {"a space after the comma belongs to the word", "All", "kelvara, zip", "", 1, 1, allToday, allYesterday,
         "Kelvara Zip Tool 2\nKelvara Zip Tool 2\n", {1}},
        {"trailing comma matches nothing more", "All", "viewer,", "", 1, 1, allToday, allYesterday, "Viewer 1\n", {2}},
        {"highlight off: logged, not coloured", "All", "zip", "", 0, 1, allToday, allYesterday,
         "Pack-Zip 24.08\nKelvara Zip Tool 2\n", {}},
        {"the description is not searched for alerts", "All", "archiver", "", 1, 1, allToday, allYesterday, "", {}},
        {"alerts search the stripped name", "All", "24", "", 1, 0, {"Pack-Zip", "Kelvara Zip Tool", "Viewer"},
         {"Pack-Zip"}, "", {}},
        {"filter in the description, letter case aside", "All", "zip", "ZIP ARCHIVE", 1, 1, {"Viewer 1"}, {}, "", {}},
        {"filter in the name or description", "All", "kelvara", "zip", 1, 1, allToday, allYesterday,
         "Kelvara Zip Tool 2\n", {1}},
        {"alert rows count the filtered list", "All", "viewer", "viewer", 1, 1, {"Viewer 1"}, {}, "Viewer 1\n", {0}},
        {"platform drops rows and their alerts", "Linux", "zip", "", 1, 1, {"Viewer 1"}, {}, "", {}},
        {"the filter sees the final full stop", "All", "", "archiver.", 1, 1, {"Pack-Zip 24.08"}, {}, "", {}},
        {"no alert names", "All", "", "", 1, 1, allToday, allYesterday, "", {}},
        // clang-format on
    };
    for (const auto& r : rows) {
        settings::AppSettings s = Settings(QString::fromUtf8(r.platform), r.versionShown);
        s.Alert_Names = QString::fromUtf8(r.alertNames);
        s.Alert_Highlight = r.highlight;
        const content::DayScan scan = Scan(page, s, QString::fromUtf8(r.filter));
        EXPECT_EQ(Names(scan.today), r.today) << r.what;
        EXPECT_EQ(Names(scan.yesterday), r.yesterday) << r.what;
        EXPECT_EQ(scan.alertLog, QString::fromUtf8(r.log)) << r.what;
        EXPECT_EQ(scan.alertRows, r.alertRows) << r.what;
    }
}

TEST(ScanDayPage, HostilePagesEndQuickly)
{
    // One enormous line, thousands of empty lines, markers without their
    // closing parts: each scan must end and give the plain result.
    const QString hugeLine = QStringLiteral("<div class=\"zibytitle\">").repeated(20000);
    EXPECT_TRUE(Scan(Lines({Header, hugeLine, Footer})).today.isEmpty());
    const QString emptyLines = QStringLiteral("\r\n").repeated(100000);
    const content::DayScan blanks = Scan(Header + emptyLines + Footer);
    EXPECT_TRUE(blanks.today.isEmpty());
    EXPECT_EQ(blanks.tab1Caption, QStringLiteral(" "));
    const QString openers = QStringLiteral("<").repeated(50000);
    const content::DayScan unclosed =
        Scan(Lines({Header, Title(QStringLiteral("W"), QStringLiteral("x"), openers), Desc(openers), Footer}));
    ASSERT_EQ(unclosed.today.size(), 1);
    EXPECT_EQ(unclosed.today[0].name, openers);
    const QString headers = (Header + QStringLiteral("\r\n")).repeated(20000);
    EXPECT_TRUE(Scan(headers).today.isEmpty());
    // One long title and many comment lines: one row, not one per comment.
    const QString comments = (QStringLiteral("<!--") + QStringLiteral("\r\n")).repeated(5000);
    const content::DayScan repeated = Scan(Lines({Header, File(QString(200, u'x')), comments, Footer}));
    EXPECT_EQ(repeated.today.size(), 1);
}

TEST(ScanDayPage, EveryCutOfAPageGivesAPrefixOfItsRows)
{
    // However the transfer breaks off, the rows found are the first rows of
    // the whole page: a cut never invents, reorders or alters an entry.
    const QString page =
        Lines({QStringLiteral("<html>"),
               Block(Fri, {File(QStringLiteral("Alpha 1"), QStringLiteral("<b>A</b> <a href=\"x\">more</a>, ok")),
                           File(QStringLiteral("Beta &amp; Co"), QStringLiteral("B &#233;"), QStringLiteral("WL"))}),
               Block(Thu, {File(QStringLiteral("Gamma"), QStringLiteral("C")),
                           Lines({Item, Title(QStringLiteral("A"), QStringLiteral("d"), QStringLiteral("Delta"))})}),
               QStringLiteral("</html>")});
    auto allRows = [](const content::DayScan& scan) {
        QStringList rows;
        for (const content::FileRow& r : scan.today)
            rows << r.Joined();
        for (const content::FileRow& r : scan.yesterday)
            rows << r.Joined();
        return rows;
    };
    settings::AppSettings s = Settings();
    s.Alert_Names = QStringLiteral("a");
    const QStringList full = allRows(Scan(page, s));
    ASSERT_EQ(full.size(), 4);
    for (qsizetype cut = 0; cut <= page.size(); ++cut) {
        const QStringList rows = allRows(Scan(page.left(cut), s));
        ASSERT_LE(rows.size(), full.size()) << cut;
        EXPECT_EQ(rows, full.mid(0, rows.size())) << "cut at " << cut;
    }
}

TEST(FileRow, JoinedRowSplitsBackIntoTheListColumns)
{
    // The list control takes a row as its columns separated by line feeds: a
    // scanned file must come back as platform cell, name, description and
    // link, in that order.
    const content::DayScan scan = Scan(
        Block(Fri, {File(QStringLiteral("Pack Zip 2"), QStringLiteral("Packs &amp; zips"), QStringLiteral("WL"))}));
    ASSERT_EQ(scan.today.size(), 1);
    const QString gap = QStringLiteral("     ");
    const QString cell = QStringLiteral(" ") + Mark + QStringLiteral("   ") + Mark + QStringLiteral("   ") + gap + gap;
    EXPECT_EQ(scan.today[0].Joined().split(u'\n'),
              (QStringList{cell, QStringLiteral("Pack Zip 2"), QStringLiteral("Packs & zips."),
                           Base + QStringLiteral("/download/pack-zip-2.html")}));

    // A line break written into the page cannot push text into the link column.
    const content::DayScan forged = Scan(Block(
        Fri, {File(QStringLiteral("Foo&#10;Fake&#10;https://elsewhere.example/"), QStringLiteral("D&#13;&#10;x"))}));
    ASSERT_EQ(forged.today.size(), 1);
    const QStringList columns = forged.today[0].Joined().split(u'\n');
    ASSERT_EQ(columns.size(), 4);
    EXPECT_EQ(columns[1], QStringLiteral("Foo Fake https://elsewhere.example/"));
    EXPECT_TRUE(columns[3].startsWith(Base + QStringLiteral("/")));
}

TEST(TakeDayPage, PhraseAndDayText)
{
    const QString phraseStart = QStringLiteral("<div class=\"zibphrase\">\r\n");
    const struct
    {
        const char* what;
        QString page;
        QString phrase;
    } rows[] = {
        {"final full stop dropped", phraseStart + QStringLiteral("Your daily dose of software.</div>"),
         QStringLiteral("Your daily dose of software")},
        {"line breaks removed, spaces trimmed", phraseStart + QStringLiteral("  Your daily\r\n dose.  \r\n</div>"),
         QStringLiteral("Your daily dose")},
        {"only one full stop dropped", phraseStart + QStringLiteral("Wow..</div>"), QStringLiteral("Wow.")},
        {"lone CR or LF stay", phraseStart + QStringLiteral("a\rb\nc</div>"), QStringLiteral("a\rb\nc")},
        {"start marker needs its CR LF", QStringLiteral("<div class=\"zibphrase\">Slogan</div>"), QString()},
        {"no closing div", phraseStart + QStringLiteral("Slogan"), QString()},
        {"nothing", QString(), QString()},
        {"a full stop alone", phraseStart + QStringLiteral(" . </div>"), QString()},
    };
    for (const auto& r : rows)
        EXPECT_EQ(content::TakeDayPage(r.page).sitePhrase, r.phrase) << r.what;
}

TEST(TakeDayPage, DayTextStartsFortyCharactersBeforeTheHeader)
{
    const QString page = QStringLiteral("x").repeated(100) + Header + QStringLiteral("\r\nrest");
    const QString near = QStringLiteral("0123456789") + Header;
    const QString exact = QStringLiteral("y").repeated(40) + Header;
    const QString noHeader = QStringLiteral("<html>no blocks</html>");
    const QString colonFooterOnly =
        QStringLiteral("z").repeated(80) + QStringLiteral("<!-- Template: files_day_rss_footer -->");
    const struct
    {
        const char* what;
        QString page;
        QString dayText;
    } rows[] = {
        {"40 characters before the header", page, page.mid(60)},
        {"fewer than 40 before: all of it", near, near},
        {"exactly 40 before: all of it", exact, exact},
        {"no header: all of it", noHeader, noHeader},
        {"a footer alone is no header", colonFooterOnly, colonFooterOnly},
    };
    for (const auto& r : rows)
        EXPECT_EQ(content::TakeDayPage(r.page).dayPageText, r.dayText) << r.what;
}
