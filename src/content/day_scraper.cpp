#include "content/day_scraper.h"

#include "content/file_filters.h"
#include "content/text_cleanup.h"
#include "runtime/text_positions.h"
#include "runtime/text_search.h"

#include <QStringView>

#include <algorithm>
#include <array>

namespace content {

namespace {

// The scan runs again on every keystroke in the filter box, over a page of a
// few hundred kilobytes, so it works on views into the cached text: a line
// is never copied, and only the lines that carry an entry's values are cut
// into strings.

constexpr runtime::Needle PhraseStart{u"<div class=\"zibphrase\">\r\n"};
constexpr runtime::Needle DateLineMarker{u"<div class=\"zibydate\">"};
constexpr runtime::Needle DateTextStart{u"\">&nbsp;"};
constexpr runtime::Needle TitleLineMarker{u"<div class=\"zibytitle\">"};
constexpr runtime::Needle DescriptionLineMarker{u"<div class=\"zibyinsidecontent\">"};
constexpr runtime::Needle AnchorStart{u"<a href=\""};
constexpr runtime::Needle AnchorEnd{u"</a>"};
constexpr runtime::Needle HrefEnd{u"\">"};
constexpr runtime::Needle BlockEnd{u"</div>"};
constexpr runtime::Needle CommentStart{u"<!--"};
constexpr runtime::Needle BoldStart{u"<b>"};
constexpr runtime::Needle BoldEnd{u"</b>"};
constexpr runtime::Needle LineBreak{u"<br />"};
constexpr runtime::Needle DoubleSpace{u"  "};
/// Every line marker of a day block begins with this, so a line without it
/// needs none of the three marker searches.
constexpr runtime::Needle EntryMarkerPrefix{u"<div class=\"ziby"};

struct PlatformIcon
{
    runtime::Needle marker;
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
        qsizetype cr = runtime::FindChar(text_, u'\r', pos_);
        while (cr >= 0 && (cr + 1 >= text_.size() || text_[cr + 1] != u'\n'))
            cr = runtime::FindChar(text_, u'\r', cr + 1);
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

/// Every run of two or more spaces becomes one space: what replacing each
/// pair by one space, again while any pair is left, ends with.
void CollapseSpaceRuns(QString& text)
{
    const qsizetype pair = runtime::IndexOf(text, DoubleSpace);
    if (pair < 0)
        return;
    const qsizetype n = text.size();
    QChar* buffer = text.data();
    // Writing never overtakes reading, and buffer[i - 1] still holds the
    // original character whenever unit i is looked at.
    qsizetype kept = pair + 1;
    for (qsizetype i = pair + 1; i < n; ++i) {
        const QChar c = buffer[i];
        const bool drop = c == u' ' && buffer[i - 1] == u' ';
        buffer[kept] = c;
        kept += drop ? 0 : 1;
    }
    text.truncate(kept);
}

/// The first-column text for each set of platform icons (bit 0 Windows,
/// bit 1 Linux, bit 2 Apple, bit 3 Android), made once and shared by rows.
const QString& PlatformCell(unsigned mask)
{
    static const std::array<QString, 16> cells = [] {
        std::array<QString, 16> made;
        for (unsigned m = 0; m < 16; ++m) {
            QString cell = QStringLiteral(" ");
            for (unsigned p = 0; p < 4; ++p) {
                if (m & (1u << p))
                    cell.append(PlatformMark);
                else
                    cell.append(QStringLiteral("  "));
                cell.append(QStringLiteral("   "));
            }
            made[m] = cell;
        }
        return made;
    }();
    return cells[mask & 15u];
}

/// The date of a date line: «Saturday, December 05, 2026» becomes «Sat December 05, 2026».
QString DateText(QStringView line)
{
    QString t = ExtractBetween(line, DateTextStart, BlockEnd).toString();
    runtime::ReplaceAll(t, DoubleSpace, u" "); // one pass only: four spaces leave two
    const qsizetype s = runtime::Find(t, u" ");
    return runtime::Left(t, 3) + QStringLiteral(" ") + runtime::From(t, s + 1);
}

/// The description line's text, its first link reduced to the link text,
/// tags and entities stripped, spaces collapsed, ending with ".".
QString DescriptionText(QStringView line)
{
    QString d = ExtractBetween(line, DescriptionLineMarker, BlockEnd).toString();
    // One after the other: removing one tag can join the text around it into
    // the next one ("<</b>br />").
    runtime::ReplaceAll(d, BoldStart, u"");
    runtime::ReplaceAll(d, BoldEnd, u"");
    runtime::ReplaceAll(d, LineBreak, u"");
    const qsizetype p1 = runtime::Find(d, AnchorStart);
    if (p1 > 0) {
        // The closing tag is looked for after the link's start: a stray "</a>"
        // before it would otherwise repeat the text in between.
        const qsizetype p2 = runtime::Find(d, AnchorEnd, p1);
        if (p2 > 0) {
            const QStringView dv(d);
            const QStringView a = ExtractBetween(dv, AnchorStart, AnchorEnd);
            // The text resumes five characters after the start of "</a>": the
            // one character after the closing tag (the site puts a separator
            // there) is dropped.
            QString kept;
            kept.reserve(d.size());
            kept.append(runtime::Left(dv, p1 - 1));
            kept.append(runtime::From(a, runtime::Find(a, HrefEnd) + 2));
            kept.append(runtime::From(dv, p2 + 5));
            d = std::move(kept);
        }
    }
    StripTagsInPlace(d);
    BlankControlCharacters(d);
    d = runtime::TrimSpaces(d);
    CollapseSpaceRuns(d);
    if (!d.endsWith(u'.'))
        d.append(u'.');
    return d;
}

class DayScanner
{
public:
    DayScanner(const QString& text, const settings::AppSettings& settings, const QString& filterText,
               const QString& baseUrl)
        : text_(text), lines_(text_), settings_(settings), linkPrefix_(baseUrl + QStringLiteral("/")),
          alertWords_(AlertWords(settings.Alert_Names)), foldedFilter_(FoldCase(filterText))
    {
        // Room for the usual page, so that the lists do not grow row by row.
        result_.today.reserve(256);
        result_.yesterday.reserve(256);
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
    /// Moves past the next line that is exactly the header.
    bool FindHeader()
    {
        QStringView line;
        while (lines_.Next(line)) {
            if (CleanLine(line) == QStringView(DayHeaderMarker))
                return true;
        }
        return false;
    }

    /// One day block; true when it ended at its footer, false when the page
    /// ran out first.
    bool ScanBlock()
    {
        QStringView raw;
        while (lines_.Next(raw)) {
            const QStringView line = CleanLine(raw);
            switch (Classify(line)) {
            case LineKind::Date:
                TakeDate(line);
                break;
            case LineKind::Description:
                TakeDescription(line);
                break;
            case LineKind::Title:
                TakeTitle(line);
                break;
            case LineKind::Other:
                break;
            }
            if (runtime::StartsWith(line, CommentStart.text)) {
                // A comment line ends the held entry: emitted once, then
                // forgotten, so that more comment lines add nothing and the
                // next file never takes this one's description.
                if (!name_.isEmpty()) {
                    Emit();
                    ForgetEntry();
                }
                if (line == QStringView(DayFooterMarker)) {
                    EndBlock();
                    return true;
                }
            }
        }
        return false;
    }

    enum class LineKind {
        Other,
        Date,
        Description,
        Title,
    };

    /// Which of the date, description and title handlings a line gets: the
    /// first of them, in that order, whose marker the line contains. Every
    /// marker starts with the same prefix, so the line is not searched at
    /// all; the occurrences of that prefix, found once for the whole text,
    /// are looked at where they fall into the line.
    LineKind Classify(QStringView line)
    {
        if (line.isEmpty())
            return LineKind::Other;
        const qsizetype begin = line.data() - text_.data();
        const qsizetype end = begin + line.size();
        LineKind kind = LineKind::Other;
        while (true) {
            if (nextPrefix_ < begin) {
                nextPrefix_ = runtime::IndexOf(text_, EntryMarkerPrefix, begin);
                if (nextPrefix_ < 0)
                    nextPrefix_ = text_.size();
            }
            if (nextPrefix_ + EntryMarkerPrefix.text.size() > end)
                break;
            const QStringView at = text_.mid(nextPrefix_, end - nextPrefix_);
            if (runtime::StartsWith(at, DateLineMarker.text))
                return LineKind::Date;
            if (runtime::StartsWith(at, DescriptionLineMarker.text))
                kind = LineKind::Description;
            else if (runtime::StartsWith(at, TitleLineMarker.text) && kind == LineKind::Other)
                kind = LineKind::Title;
            nextPrefix_ = runtime::IndexOf(text_, EntryMarkerPrefix, nextPrefix_ + 1);
            if (nextPrefix_ < 0)
                nextPrefix_ = text_.size();
        }
        return kind;
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
        unsigned mask = 0;
        for (unsigned p = 0; p < 4; ++p) {
            if (runtime::Contains(line, PlatformIcons[p].marker)) {
                mask |= 1u << p;
                if (PlatformMatches(PlatformIcons[p].platform, settings_.Platform))
                    match = true;
            }
        }
        platformCell_ = PlatformCell(mask);
        if (!match)
            return;
        const QStringView a = ExtractBetween(line, AnchorStart, AnchorEnd);
        const qsizetype q = runtime::Find(a, HrefEnd);
        link_ = linkPrefix_;
        link_.append(runtime::Left(a, q - 1));
        BlankControlCharacters(link_);
        name_ = runtime::From(a, q + 2).toString();
        StripTagsInPlace(name_);
        BlankControlCharacters(name_);
        name_ = runtime::TrimSpaces(name_);
        if (settings_.Version_Shown == 0)
            name_ = StripVersion(name_);
    }

    const QString& Description()
    {
        if (!description_)
            description_ = DescriptionText(descriptionLine_);
        return *description_;
    }

    /// Adds the held entry to the current list when it passes the filter.
    void Emit()
    {
        const QString& description = Description();
        if (!FilterMatchesFolded(name_, description, foldedFilter_, scratch_))
            return;
        QList<FileRow>& target = inToday_ ? result_.today : result_.yesterday;
        target.append(FileRow{platformCell_, name_, description, link_});
        if (!inToday_)
            return;
        const QList<qsizetype> hits = MatchAlerts(name_, alertWords_, scratch_);
        for (qsizetype i = 0; i < hits.size(); ++i)
            result_.alertLog += name_ + QStringLiteral("\n");
        const qsizetype row = result_.today.size() - 1;
        if (!hits.isEmpty() && settings_.Alert_Highlight == 1 &&
            (result_.alertRows.isEmpty() || result_.alertRows.last() != row))
            result_.alertRows.append(row);
    }

    /// The footer: tab 1 shows this block's date, later blocks go to Yesterday.
    void EndBlock()
    {
        result_.tab1Caption = dateText_ + QStringLiteral(" ");
        inToday_ = false;
    }

    void ForgetEntry()
    {
        name_.clear();
        descriptionLine_ = QStringView();
        description_.reset();
    }

    QStringView text_;
    LineCursor lines_;
    const settings::AppSettings& settings_;
    const QString linkPrefix_;
    const QStringList alertWords_;
    const QString foldedFilter_;
    QString scratch_; // case-folding buffer shared by the filter and alert tests
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
    QString s = ExtractBetween(page, PhraseStart, BlockEnd).toString();
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
