#include "updater/apps_table.h"

#include "runtime/text_positions.h"

#include <algorithm>
#include <utility>

namespace updater {

namespace {

const QString LineEnd = QStringLiteral("\r\n");

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

/// A text that names no version to compare: nothing known, a bound the
/// package manager gives instead ("< 1.5"), or a note in its place.
bool NamesNoVersion(QStringView text)
{
    return text.isEmpty() || text == UnknownVersion || text.startsWith(u'<') || text.startsWith(u'(');
}

/// -1, 0 or 1 as the run of digits `a` is a smaller, the same or a larger
/// number than `b`, however long; an empty run is 0.
int CompareNumbers(QStringView a, QStringView b)
{
    while (a.startsWith(u'0'))
        a = a.sliced(1);
    while (b.startsWith(u'0'))
        b = b.sliced(1);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    const int order = a.compare(b);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

// The weights of what stands between numbers, in their order; 0 is the end.
constexpr int32_t TildeWeight = -100;
constexpr int32_t PreReleaseWeight = -10; // plus the word's rank, still below 0
constexpr int32_t OtherWeight = 0x10000;  // plus the character; letters weigh their folded code

/// The rank of the pre-release word `word` (1 dev ... 5 rc); 0 for any other.
int PreReleaseRank(QStringView word)
{
    const struct
    {
        const char16_t* word;
        int rank;
    } words[] = {{u"dev", 1}, {u"alpha", 2}, {u"beta", 3}, {u"pre", 4}, {u"preview", 4}, {u"rc", 5}};
    for (const auto& w : words) {
        if (word.compare(QStringView(w.word), Qt::CaseInsensitive) == 0)
            return w.rank;
    }
    return 0;
}

/// A run of characters other than digits, read as a row of weights.
class RunWeights
{
public:
    explicit RunWeights(QStringView run) : run_(run) {}

    /// The next weight; 0 once the run has ended.
    int32_t Next()
    {
        if (at_ >= run_.size())
            return 0;
        const QChar c = run_[at_++];
        if (c == u'-' || c == u'.') {
            qsizetype end = at_;
            while (end < run_.size() && run_[end].isLetter())
                ++end;
            if (const int rank = PreReleaseRank(run_.sliced(at_, end - at_))) {
                at_ = end;
                return PreReleaseWeight + rank;
            }
        }
        if (c == u'~')
            return TildeWeight;
        if (c.isLetter())
            return c.toCaseFolded().unicode();
        return OtherWeight + c.unicode();
    }

private:
    QStringView run_;
    qsizetype at_ = 0;
};

/// Where the run that starts at `from` ends: digits when `digits`, else
/// anything but.
qsizetype RunEnd(QStringView text, qsizetype from, bool digits)
{
    while (from < text.size() && IsDigit(text[from]) == digits)
        ++from;
    return from;
}

/// `text` without its epoch "N:" (returned in `epoch`) and without a "v"
/// before a leading digit.
QStringView WithoutEpoch(QStringView text, QStringView* epoch)
{
    const qsizetype digits = RunEnd(text, 0, true);
    *epoch = QStringView();
    if (digits > 0 && digits < text.size() && text[digits] == u':') {
        *epoch = text.first(digits);
        text = text.sliced(digits + 1);
    }
    if (text.size() >= 2 && (text[0] == u'v' || text[0] == u'V') && IsDigit(text[1]))
        text = text.sliced(1);
    return text;
}

/// -1, 0 or 1 as version `a` comes before, with or after `b`.
int CompareVersions(QStringView a, QStringView b)
{
    QStringView epochA;
    QStringView epochB;
    a = WithoutEpoch(a, &epochA);
    b = WithoutEpoch(b, &epochB);
    if (const int order = CompareNumbers(epochA, epochB))
        return order;
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() || j < b.size()) {
        const qsizetype runA = RunEnd(a, i, false);
        const qsizetype runB = RunEnd(b, j, false);
        RunWeights weightsA(a.sliced(i, runA - i));
        RunWeights weightsB(b.sliced(j, runB - j));
        for (;;) {
            const int32_t wa = weightsA.Next();
            const int32_t wb = weightsB.Next();
            if (wa != wb)
                return wa < wb ? -1 : 1;
            if (wa == 0)
                break;
        }
        i = RunEnd(a, runA, true);
        j = RunEnd(b, runB, true);
        if (const int order = CompareNumbers(a.sliced(runA, i - runA), b.sliced(runB, j - runB)))
            return order;
    }
    return 0;
}

} // namespace

QStringList TakeAppLines(const QString& output)
{
    const qsizetype separator = runtime::Find(output, AppsSeparator);
    // 119 dashes and the two characters of their line end; without a
    // separator the same count from the start.
    const QString data = runtime::From(output, separator + AppsSeparator.size() + 2);
    QStringList lines = data.split(LineEnd);
    // Every piece but the last ended with CR LF; the last is the tool's final
    // line, an application row more often than not.
    if (!lines.isEmpty() && !IsApplicationRow(lines.back()))
        lines.removeLast();
    // Folded once per line rather than once per comparison.
    QList<std::pair<QString, qsizetype>> keys;
    keys.reserve(lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i)
        keys.append({lines[i].toCaseFolded(), i});
    std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    QStringList sorted;
    sorted.reserve(lines.size());
    for (const auto& key : keys)
        sorted.append(lines[key.second]);
    return sorted;
}

QStringList TakeToolNotes(const QString& output)
{
    const qsizetype separator = runtime::Find(output, AppsSeparator);
    if (separator == 0)
        return {};
    QStringList notes;
    for (const QString& line : runtime::Left(output, separator - 1).split(LineEnd)) {
        if (line.startsWith(NotePrefix))
            notes << BlankUnshowable(line.sliced(NotePrefix.size()));
    }
    return notes;
}

AppRow ParseAppLine(const QString& line)
{
    AppRow row;
    row.name = WithoutTrailingBlanks(ColumnText(line, NameColumn));
    row.identifier = runtime::TrimSpaces(ColumnText(line, IdentifierColumn));
    row.installed = runtime::TrimSpaces(ColumnText(line, InstalledColumn));
    row.available = runtime::TrimSpaces(ColumnText(line, AvailableColumn));
    if (row.available.isEmpty())
        row.available = UnknownVersion;
    return row;
}

bool IsNewerVersion(const QString& installed, const QString& available)
{
    const QStringView have = QStringView(installed).trimmed();
    const QStringView offered = QStringView(available).trimmed();
    if (NamesNoVersion(offered))
        return false;
    return NamesNoVersion(have) || CompareVersions(have, offered) < 0;
}

AppsFill FillApps(const QStringList& lines, const QString& filter)
{
    AppsFill fill;
    fill.rows.reserve(lines.size());
    fill.updates.reserve(lines.size());
    for (const QString& line : lines) {
        const AppRow row = ParseAppLine(line);
        if (!filter.isEmpty() && !row.name.contains(filter, Qt::CaseInsensitive))
            continue;
        const bool update = IsNewerVersion(row.installed, row.available);
        fill.rows << row.name + u'\n' + row.installed + u'\n' + row.available + u'\n' + row.identifier + u'\n' +
                         (update ? u'1' : u'0');
        fill.updates << update;
        if (update)
            ++fill.updateCount;
    }
    return fill;
}

QString CheckCompleteText(qsizetype installed, qsizetype updates, const QStringList& notes)
{
    QString text = QStringLiteral("Update check complete!\r\n\r\nNumber of apps installed: ") +
                   QString::number(installed) + QStringLiteral("\r\nNumber of updates available: ") +
                   QString::number(updates) +
                   QStringLiteral("\r\n\r\nSelect any red apps in the list that you wish to update, and click the "
                                  "\"Start updates\" button, or double-click any single red app to do so.");
    for (const QString& note : notes)
        text += LineEnd + LineEnd + note;
    return text;
}

QString CheckFailedText(const QStringList& lastErrors)
{
    const QString failed = QStringLiteral("Last check failed.");
    return lastErrors.isEmpty() ? failed : failed + LineEnd + LineEnd + lastErrors.join(LineEnd);
}

} // namespace updater
