#include "content/day_scraper.h"

#include "content/file_filters.h"
#include "content/text_cleanup.h"
#include "runtime/text_positions.h"

#include <QStringView>

namespace content {

namespace {

// The scan runs again on every keystroke in the filter box, over a page of a
// few hundred kilobytes, so it works on views into the cached text: a line
// is never copied, and only the lines that carry an entry's values are cut
// into strings. The helpers below are the 1-based find/left/from of the page
// rules, over views.

qsizetype FindIn(QStringView text, QStringView needle, qsizetype start = 1)
{
    if (text.isEmpty() || needle.isEmpty())
        return 0;
    if (start < 1)
        start = 1;
    if (start > text.size())
        return 0;
    return text.indexOf(needle, start - 1) + 1;
}

QStringView LeftOf(QStringView text, qsizetype count)
{
    return count <= 0 ? QStringView() : text.left(count);
}

QStringView FromPos(QStringView text, qsizetype pos)
{
    if (pos <= 1)
        return text;
    if (pos > text.size())
        return QStringView();
    return text.mid(pos - 1);
}

QStringView Between(QStringView text, QStringView startMarker, QStringView endMarker)
{
    const qsizetype p = FindIn(text, startMarker);
    const QStringView rest = p == 0 ? QStringView() : FromPos(text, p + startMarker.size());
    return LeftOf(rest, FindIn(rest, endMarker) - 1);
}

QStringView TrimmedSpaces(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.mid(begin, end - begin);
}

/// CleanLine over a view.
QStringView CleanedLine(QStringView line)
{
    const QStringView trimmed = TrimmedSpaces(line);
    if (trimmed.startsWith(u"<br>"))
        return trimmed.mid(4);
    if (trimmed.startsWith(u"<br />"))
        return trimmed.mid(6);
    return trimmed;
}

constexpr QStringView PhraseStart = u"<div class=\"zibphrase\">\r\n";
constexpr QStringView DateLineMarker = u"<div class=\"zibydate\">";
constexpr QStringView DateTextStart = u"\">&nbsp;";
constexpr QStringView TitleLineMarker = u"<div class=\"zibytitle\">";
constexpr QStringView DescriptionLineMarker = u"<div class=\"zibyinsidecontent\">";
constexpr QStringView AnchorStart = u"<a href=\"";
constexpr QStringView AnchorEnd = u"</a>";
constexpr QStringView HrefEnd = u"\">";
constexpr QStringView BlockEnd = u"</div>";
constexpr QStringView CommentStart = u"<!--";
/// Every line marker of a day block begins with this, so a line without it
/// needs none of the three marker searches.
constexpr QStringView EntryMarkerPrefix = u"<div class=\"ziby";

struct PlatformIcon
{
    QStringView marker;
    Platform platform;
};
constexpr PlatformIcon PlatformIcons[] = {
    {u"class=\"fab fa-windows\"", Platform::Windows},
    {u"class=\"fab fa-linux\"", Platform::Linux},
    {u"class=\"fab fa-apple\"", Platform::Apple},
    {u"class=\"fab fa-android\"", Platform::Android},
};

/// Cuts the cached text into lines at CR LF pairs, on demand. After the last
/// pair comes one more line (possibly empty), as a split would give.
class LineCursor
{
public:
    explicit LineCursor(QStringView text) : text_(text) {}

    /// The next line (a view into the text); false past the last one.
    bool Next(QStringView& line)
    {
        if (pos_ > text_.size())
            return false;
        qsizetype cr = text_.indexOf(u'\r', pos_);
        while (cr >= 0 && (cr + 1 >= text_.size() || text_[cr + 1] != u'\n'))
            cr = text_.indexOf(u'\r', cr + 1);
        if (cr < 0) {
            line = text_.mid(pos_);
            pos_ = text_.size() + 1;
        } else {
            line = text_.mid(pos_, cr - pos_);
            pos_ = cr + 2;
        }
        return true;
    }

private:
    QStringView text_;
    qsizetype pos_ = 0;
};

QString CollapseDoubleSpacesOnce(QString text)
{
    return text.replace(QStringLiteral("  "), QStringLiteral(" "));
}

/// Step D: «Saturday, December 05, 2026» becomes «Sat December 05, 2026».
QString DateText(QStringView line)
{
    const QString t = CollapseDoubleSpacesOnce(Between(line, DateTextStart, BlockEnd).toString());
    const qsizetype s = runtime::Find(t, QStringLiteral(" "));
    return runtime::Left(t, 3) + QStringLiteral(" ") + runtime::From(t, s + 1);
}

/// Step E: the description line's text, its first link reduced to the link
/// text, tags and entities stripped, spaces collapsed, ending with ".".
QString DescriptionText(QStringView line)
{
    QString d = Between(line, DescriptionLineMarker, BlockEnd).toString();
    d.remove(QStringLiteral("<b>"));
    d.remove(QStringLiteral("</b>"));
    d.remove(QStringLiteral("<br />"));
    const QStringView dv(d);
    const qsizetype p1 = FindIn(dv, AnchorStart);
    if (p1 > 0) {
        // The closing tag is looked for after the link's start: a stray "</a>"
        // before it would otherwise repeat the text in between.
        const qsizetype p2 = FindIn(dv, AnchorEnd, p1);
        if (p2 > 0) {
            const QStringView a = Between(dv, AnchorStart, AnchorEnd);
            // The text resumes five characters after the start of "</a>", so
            // the one character after the closing tag is dropped, as the site
            // has always been read.
            QString joined;
            joined.reserve(d.size());
            joined.append(LeftOf(dv, p1 - 1));
            joined.append(FromPos(a, FindIn(a, HrefEnd) + 2));
            joined.append(FromPos(dv, p2 + 5));
            d = std::move(joined);
        }
    }
    d = runtime::TrimSpaces(StripTags(d));
    while (d.contains(QStringLiteral("  ")))
        d.replace(QStringLiteral("  "), QStringLiteral(" "));
    if (!d.endsWith(u'.'))
        d.append(u'.');
    return d;
}

class DayScanner
{
public:
    DayScanner(const QString& text, const settings::AppSettings& settings, const QString& filterText,
               const QString& baseUrl)
        : text_(text), lines_(text_), settings_(settings), filterText_(filterText),
          linkPrefix_(baseUrl + QStringLiteral("/")), alertWords_(AlertWords(settings.Alert_Names))
    {
    }

    DayScan Run()
    {
        while (FindHeader()) {
            if (!ScanBlock())
                break;
        }
        return std::move(result_);
    }

private:
    /// Step B3: moves past the next line that is exactly the header.
    bool FindHeader()
    {
        QStringView line;
        while (lines_.Next(line)) {
            if (CleanedLine(line) == DayHeaderMarker)
                return true;
        }
        return false;
    }

    /// Step B4; true when the block ended at its footer, false when the page
    /// ran out first.
    bool ScanBlock()
    {
        QStringView raw;
        while (lines_.Next(raw)) {
            const QStringView line = CleanedLine(raw);
            if (MayHoldEntryMarker(line)) {
                if (line.contains(DateLineMarker))
                    TakeDate(line);
                else if (line.contains(DescriptionLineMarker))
                    TakeDescription(line);
                else if (line.contains(TitleLineMarker))
                    TakeTitle(line);
            }
            if (line.startsWith(CommentStart)) {
                if (!name_.isEmpty())
                    Emit();
                if (line == DayFooterMarker) {
                    EndBlock();
                    return true;
                }
            }
        }
        return false;
    }

    /// One search for the common prefix of the entry markers, shared by all
    /// the lines up to its next occurrence.
    bool MayHoldEntryMarker(QStringView line)
    {
        if (line.isEmpty())
            return false;
        const qsizetype lineStart = line.data() - text_.data();
        if (nextPrefix_ < lineStart) {
            nextPrefix_ = text_.indexOf(EntryMarkerPrefix, lineStart);
            if (nextPrefix_ < 0)
                nextPrefix_ = text_.size();
        }
        return nextPrefix_ + EntryMarkerPrefix.size() <= lineStart + line.size();
    }

    void TakeDate(QStringView line)
    {
        const QString t = DateText(line);
        dateText_ = t;
        if (dayLabel_.isEmpty())
            result_.tab0Caption = t + QStringLiteral(" ");
        if (dayLabel_ != t)
            dayLabel_ = t;
    }

    void TakeDescription(QStringView line)
    {
        // Cleaned only when an entry is emitted with it: most re-scans drop
        // most entries by filter or platform, and a description may be
        // inherited by the next file, so the line is kept until then.
        descriptionLine_ = line;
        description_.reset();
    }

    void TakeTitle(QStringView line)
    {
        name_.clear();
        bool match = false;
        platformCell_ = QStringLiteral(" ");
        for (const PlatformIcon& icon : PlatformIcons) {
            if (line.contains(icon.marker)) {
                platformCell_.append(PlatformMark);
                if (PlatformMatches(icon.platform, settings_.Platform))
                    match = true;
            } else {
                platformCell_.append(QStringLiteral("  "));
            }
            platformCell_.append(QStringLiteral("   "));
        }
        if (!match)
            return;
        const QStringView a = Between(line, AnchorStart, AnchorEnd);
        const qsizetype q = FindIn(a, HrefEnd);
        link_ = linkPrefix_;
        link_.append(LeftOf(a, q - 1));
        name_ = runtime::TrimSpaces(StripTags(FromPos(a, q + 2).toString()));
        if (settings_.Version_Shown == 0)
            name_ = StripVersion(name_);
    }

    const QString& Description()
    {
        if (!description_)
            description_ = DescriptionText(descriptionLine_);
        return *description_;
    }

    /// Step F. The held entry stays as it is: a second comment line before the
    /// next title line emits it again.
    void Emit()
    {
        const QString& description = Description();
        if (!FilterMatches(name_, description, filterText_))
            return;
        QList<FileRow>& target = inToday_ ? result_.today : result_.yesterday;
        target.append(FileRow{platformCell_, name_, description, link_});
        if (!inToday_)
            return;
        const QList<qsizetype> hits = MatchAlerts(name_, alertWords_);
        for (qsizetype i = 0; i < hits.size(); ++i)
            result_.alertLog += name_ + QStringLiteral("\n");
        const qsizetype row = result_.today.size() - 1;
        if (!hits.isEmpty() && settings_.Alert_Highlight == 1 &&
            (result_.alertRows.isEmpty() || result_.alertRows.last() != row))
            result_.alertRows.append(row);
    }

    /// Step G.
    void EndBlock()
    {
        result_.tab1Caption = dateText_ + QStringLiteral(" ");
        inToday_ = false;
        // The entry held at the footer has been emitted with its own day. Were
        // it kept, a comment line before the next block's first title would
        // emit it again into Yesterday.
        name_.clear();
    }

    QStringView text_;
    LineCursor lines_;
    const settings::AppSettings& settings_;
    const QString& filterText_;
    const QString linkPrefix_;
    const QStringList alertWords_;
    qsizetype nextPrefix_ = -1;

    DayScan result_;
    bool inToday_ = true;
    QString dayLabel_;
    QString dateText_;
    QString name_;
    QString link_;
    QString platformCell_;
    QStringView descriptionLine_;
    std::optional<QString> description_;
};

} // namespace

QString FileRow::Joined() const
{
    return platformCell + u'\n' + name + u'\n' + description + u'\n' + link;
}

DayPage TakeDayPage(const QString& page)
{
    DayPage result;
    QString s = ExtractBetween(page, PhraseStart.toString(), BlockEnd.toString());
    s.remove(QStringLiteral("\r\n"));
    s = runtime::TrimSpaces(s);
    if (s.endsWith(u'.'))
        s.chop(1);
    result.sitePhrase = s;
    const qsizetype h = runtime::Find(page, DayHeaderMarker);
    // 40 characters before the header keep the header line itself whole.
    result.dayPageText = h == 0 ? page : runtime::From(page, h - 40);
    return result;
}

DayScan ScanDayPage(const QString& dayPageText, const settings::AppSettings& settings, const QString& filterText,
                    const QString& baseUrl)
{
    return DayScanner(dayPageText, settings, filterText, baseUrl).Run();
}

} // namespace content
