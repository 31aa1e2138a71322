#include "updater/apps_table.h"

#include "runtime/text_positions.h"
#include "runtime/text_to_int.h"

#include <algorithm>
#include <utility>

namespace updater {

namespace {

const QString LineEnd = QStringLiteral("\r\n");

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
    if (available == UnknownVersion)
        return false;
    const QStringList have = installed.split(u'.');
    const QStringList offered = available.split(u'.');
    const qsizetype pieces = std::max(have.size(), offered.size());
    for (qsizetype i = 0; i < pieces; ++i) {
        const int64_t a = i < have.size() ? runtime::TextToInt(have[i]) : 0;
        const int64_t b = i < offered.size() ? runtime::TextToInt(offered[i]) : 0;
        if (a != b)
            return a < b;
    }
    return false;
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

QString CheckCompleteText(qsizetype installed, qsizetype updates)
{
    return QStringLiteral("Update check complete!\r\n\r\nNumber of apps installed: ") + QString::number(installed) +
           QStringLiteral("\r\nNumber of updates available: ") + QString::number(updates) +
           QStringLiteral("\r\n\r\nSelect any red apps in the list that you wish to update, and click the \"Start "
                          "updates\" button, or double-click any single red app to do so.");
}

QString CheckFailedText(const QStringList& lastErrors)
{
    const QString failed = QStringLiteral("Last check failed.");
    return lastErrors.isEmpty() ? failed : failed + LineEnd + LineEnd + lastErrors.join(LineEnd);
}

} // namespace updater
