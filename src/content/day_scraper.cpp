#include "content/day_scraper.h"

#include "content/file_filters.h"
#include "content/text_cleanup.h"
#include "content/text_search.h"
#include "runtime/text_positions.h"

#include <QStringView>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>

namespace content {

namespace {

// The scan runs again on every keystroke in the filter box, over a page of a
// few hundred kilobytes, so it works on views into the cached text: a line
// is never copied, and only the lines that carry an entry's values are cut
// into strings.

constexpr Needle PhraseStart{u"<div class=\"zibphrase\">\r\n"};
constexpr Needle DateLineMarker{u"<div class=\"zibydate\">"};
constexpr Needle DateTextStart{u"\">&nbsp;"};
constexpr Needle TitleLineMarker{u"<div class=\"zibytitle\">"};
constexpr Needle DescriptionLineMarker{u"<div class=\"zibyinsidecontent\">"};
constexpr Needle AnchorStart{u"<a href=\""};
constexpr Needle AnchorEnd{u"</a>"};
constexpr Needle HrefEnd{u"\">"};
constexpr Needle BlockEnd{u"</div>"};
constexpr Needle CommentStart{u"<!--"};
constexpr Needle BoldStart{u"<b>"};
constexpr Needle BoldEnd{u"</b>"};
constexpr Needle LineBreak{u"<br />"};
constexpr Needle DoubleSpace{u"  "};
/// Every line marker of a day block begins with this, so a line without it
/// needs none of the three marker searches.
constexpr Needle EntryMarkerPrefix{u"<div class=\"ziby"};

struct PlatformIcon
{
    Needle marker;
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
        qsizetype cr = FindChar(text_, u'\r', pos_);
        while (cr >= 0 && (cr + 1 >= text_.size() || text_[cr + 1] != u'\n'))
            cr = FindChar(text_, u'\r', cr + 1);
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
    const char16_t* in = reinterpret_cast<const char16_t*>(text.constData());
    const qsizetype n = text.size();
    qsizetype first = 1;
    while (first < n && !(in[first] == u' ' && in[first - 1] == u' '))
        ++first;
    if (first >= n)
        return;
    char16_t* buffer = reinterpret_cast<char16_t*>(text.data());
    // Writing never overtakes reading, and buffer[i - 1] still holds the
    // original character whenever unit i is looked at.
    qsizetype kept = first;
    qsizetype i = first;
#if defined(__SSE2__)
    const __m128i space = _mm_set1_epi16(u' ');
#endif
    while (i < n) {
#if defined(__SSE2__)
        // A group of eight with no space after a space is kept whole.
        if (i + 8 <= n) {
            const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(buffer + i));
            const __m128i previous = _mm_loadu_si128(reinterpret_cast<const __m128i*>(buffer + i - 1));
            const __m128i pairs = _mm_and_si128(_mm_cmpeq_epi16(units, space), _mm_cmpeq_epi16(previous, space));
            if (_mm_movemask_epi8(pairs) == 0) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(buffer + kept), units);
                kept += 8;
                i += 8;
                continue;
            }
        }
#endif
        const char16_t c = buffer[i];
        const bool drop = c == u' ' && buffer[i - 1] == u' ';
        buffer[kept] = c;
        kept += drop ? 0 : 1;
        ++i;
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
    QString t = ExtractBetween(line, DateTextStart.text, BlockEnd.text).toString();
    ReplaceAll(t, DoubleSpace, u" "); // one pass only: four spaces leave two
    const qsizetype s = runtime::Find(t, u" ");
    return runtime::Left(t, 3) + QStringLiteral(" ") + runtime::From(t, s + 1);
}

/// The description line's text, its first link reduced to the link text,
/// tags and entities stripped, spaces collapsed, ending with ".".
QString DescriptionText(QStringView line)
{
    QString d = ExtractBetween(line, DescriptionLineMarker.text, BlockEnd.text).toString();
    // One after the other: removing one tag can join the text around it into
    // the next one ("<</b>br />").
    ReplaceAll(d, BoldStart, u"");
    ReplaceAll(d, BoldEnd, u"");
    ReplaceAll(d, LineBreak, u"");
    d.data(); // unshared from here on, so the views below stay valid
    const QStringView dv(d);
    const qsizetype p1 = runtime::Find(dv, AnchorStart.text);
    if (p1 > 0) {
        // The closing tag is looked for after the link's start: a stray "</a>"
        // before it would otherwise repeat the text in between.
        const qsizetype p2 = runtime::Find(dv, AnchorEnd.text, p1);
        if (p2 > 0) {
            const QStringView a = ExtractBetween(dv, AnchorStart.text, AnchorEnd.text);
            // The text resumes five characters after the start of "</a>": the
            // one character after the closing tag (the site puts a separator
            // there) is dropped.
            KeepPieces(d, {runtime::Left(dv, p1 - 1), runtime::From(a, runtime::Find(a, HrefEnd.text) + 2),
                           runtime::From(dv, p2 + 5)});
        }
    }
    StripTagsInPlace(d);
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
            if (SameText(CleanLine(line), DayHeaderMarker))
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
            if (StartsWith(line, CommentStart.text)) {
                if (!name_.isEmpty())
                    Emit();
                if (SameText(line, DayFooterMarker)) {
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
                nextPrefix_ = FastIndexOf(text_, EntryMarkerPrefix, begin);
                if (nextPrefix_ < 0)
                    nextPrefix_ = text_.size();
            }
            if (nextPrefix_ + EntryMarkerPrefix.text.size() > end)
                break;
            const QStringView at = text_.mid(nextPrefix_, end - nextPrefix_);
            if (StartsWith(at, DateLineMarker.text))
                return LineKind::Date;
            if (StartsWith(at, DescriptionLineMarker.text))
                kind = LineKind::Description;
            else if (StartsWith(at, TitleLineMarker.text) && kind == LineKind::Other)
                kind = LineKind::Title;
            nextPrefix_ = FastIndexOf(text_, EntryMarkerPrefix, nextPrefix_ + 1);
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
            if (FastContains(line, PlatformIcons[p].marker)) {
                mask |= 1u << p;
                if (PlatformMatches(PlatformIcons[p].platform, settings_.Platform))
                    match = true;
            }
        }
        platformCell_ = PlatformCell(mask);
        if (!match)
            return;
        const QStringView a = ExtractBetween(line, AnchorStart.text, AnchorEnd.text);
        const qsizetype q = runtime::Find(a, HrefEnd.text);
        link_ = linkPrefix_;
        link_.append(runtime::Left(a, q - 1));
        name_ = runtime::From(a, q + 2).toString();
        StripTagsInPlace(name_);
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

    /// Adds the held entry to the current list when it passes the filter. The
    /// held entry stays as it is: a second comment line before the
    /// next title line emits it again.
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
        // The entry held at the footer has been emitted with its own day. Were
        // it kept, a comment line before the next block's first title would
        // emit it again into Yesterday.
        name_.clear();
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
    QString s = ExtractBetween(page, PhraseStart.text, BlockEnd.text).toString();
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
