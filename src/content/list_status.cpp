#include "content/list_status.h"

#include "runtime/app_identity.h"

namespace content {

ListSummary SummariseList(ShownList shown, qsizetype rowCount, const QString& filterText, const QString& platform)
{
    ListSummary summary;
    if (shown == ShownList::Other) {
        summary.filterAppliesToApps = true;
        summary.filterBoxWidth = 300;
        summary.platformComboShown = false;
        summary.statusText = runtime::ReadyText;
        return summary;
    }
    const QString count = QString::number(rowCount);
    if (!filterText.isEmpty()) {
        summary.statusText = QStringLiteral("Number of matching files from filter: ") + count;
        return summary;
    }
    const QString day = shown == ShownList::Today ? QStringLiteral("today's") : QStringLiteral("yesterday's");
    const QString which = platform == u"All" ? QString() : QStringLiteral(" ") + platform;
    summary.statusText =
        QStringLiteral("Showing ") + day + which + QStringLiteral(" files (") + count + QStringLiteral(").");
    return summary;
}

ScrapeOutcomeResult DecideScrapeOutcome(qsizetype todayRowCount, const QString& filterText, const QString& platform)
{
    if (todayRowCount > 0)
        return {ScrapeOutcome::HasRows, runtime::HintText};
    if (!filterText.isEmpty())
        return {ScrapeOutcome::NoFilterMatch, NoFilterMatchText};
    if (platform == u"All")
        return {ScrapeOutcome::NoContent, runtime::NoContentText};
    return {ScrapeOutcome::NoPlatformMatch, NoFilterMatchText};
}

QString PlatformForComboIndex(int index, const QString& current)
{
    switch (index) {
    case 0:
        return QStringLiteral("All");
    case 1:
        return QStringLiteral("Windows");
    case 2:
        return QStringLiteral("Linux");
    case 3:
        return QStringLiteral("MacOS");
    case 4:
        return QStringLiteral("Android");
    default:
        return current;
    }
}

int PlatformComboIndex(const QString& platform)
{
    constexpr int itemCount = 5;
    for (int index = 1; index < itemCount; ++index) {
        if (PlatformForComboIndex(index, QString()) == platform)
            return index;
    }
    return 0;
}

QString PlatformTooltip(const QString& platform)
{
    return QStringLiteral("Showing files supported by ") +
           (platform == u"All" ? QStringLiteral("all platforms") : platform);
}

} // namespace content
