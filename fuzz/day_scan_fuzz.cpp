// Feeds arbitrary pages to the day-list scraper. Control bytes stand for the
// page's markers, so the fuzzer reaches day blocks, entries and their
// half-written variants without having to guess forty-character comments.
// Checks that every scan ends and that its rows keep the promised shape.
#include "content/day_scraper.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

namespace {

const QString Base = QStringLiteral("http://127.0.0.1:8");

const char16_t* const Tokens[] = {
    u"<!-- Template: files_day_rss_header -->",
    u"<!-- Template files_day_rss_footer -->",
    u"<!-- Template: files_day_rss_item -->",
    u"<div class=\"zibydate\">&nbsp;",
    u"<div class=\"zibytitle\">",
    u"<div class=\"zibyinsidecontent\">",
    u"<div class=\"zibphrase\">\r\n",
    u"\r\n",
    u"<a href=\"",
    u"\">",
    u"</a>",
    u"</div>",
    u"class=\"fab fa-windows\"",
    u"class=\"fab fa-linux\"",
    u"class=\"fab fa-apple\"",
    u"class=\"fab fa-android\"",
    u"<b>",
    u"</b>",
    u"<br />",
    u"<br>",
    u"&#",
    u"&amp;",
    u"&quot;",
    u"  ",
    u"<!--",
    u"\u25cf",
};
constexpr int TokenCount = sizeof(Tokens) / sizeof(Tokens[0]);

QString Expand(const uint8_t* data, size_t size)
{
    QString text;
    text.reserve(static_cast<qsizetype>(size) * 4);
    for (size_t i = 0; i < size; ++i) {
        const uint8_t b = data[i];
        if (b < TokenCount)
            text.append(QString::fromUtf16(Tokens[b]));
        else
            text.append(QChar(b)); // Latin-1, including 0x7f-0xff
    }
    return text;
}

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

void CheckRows(const QList<content::FileRow>& rows)
{
    for (const content::FileRow& r : rows) {
        Check(!r.name.isEmpty());
        Check(r.description.endsWith(u'.'));
        Check(r.link.startsWith(Base + QStringLiteral("/")));
        Check(r.platformCell.size() >= 17 && r.platformCell.size() <= 21);
        Check(r.platformCell.startsWith(u' ') && r.platformCell.contains(content::PlatformMark));
        Check(r.Joined().count(u'\n') == 3); // no cell holds a line break
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    // First three bytes: platform, versions/highlight, length of the alert
    // names and filter taken from the front of the page text.
    static const char* const platforms[] = {"All", "Windows", "Linux", "MacOS", "Android"};
    settings::AppSettings s;
    s.Platform = QString::fromLatin1(platforms[data[0] % 5]);
    s.Version_Shown = data[1] & 1;
    s.Alert_Highlight = (data[1] >> 1) & 1;
    const QString text = Expand(data + 3, size - 3);
    const qsizetype alertLength = std::min<qsizetype>(data[2] & 0x0f, text.size());
    const qsizetype filterLength = std::min<qsizetype>(data[2] >> 4, text.size() - alertLength);
    s.Alert_Names = text.left(alertLength);
    const QString filter = text.mid(alertLength, filterLength);

    const content::DayPage page = content::TakeDayPage(text);
    Check(text.endsWith(page.dayPageText));

    const content::DayScan scan = content::ScanDayPage(page.dayPageText, s, filter, Base);
    CheckRows(scan.today);
    CheckRows(scan.yesterday);
    // Every row comes from its own title line.
    Check(scan.today.size() + scan.yesterday.size() <=
          page.dayPageText.count(QStringLiteral("<div class=\"zibytitle\">")));
    qsizetype previous = -1;
    for (qsizetype row : scan.alertRows) {
        Check(row > previous && row < scan.today.size());
        previous = row;
    }
    Check(scan.alertRows.isEmpty() || s.Alert_Highlight == 1);
    Check(scan.alertLog.isEmpty() || scan.alertLog.endsWith(u'\n'));
    Check(!scan.tab1Caption || scan.tab1Caption->endsWith(u' '));
    Check(!scan.tab0Caption || scan.tab0Caption->endsWith(u' '));
    Check(scan.yesterday.isEmpty() || scan.tab1Caption.has_value());
    return 0;
}
