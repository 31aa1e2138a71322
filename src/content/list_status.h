#pragma once

#include <QString>

namespace content {

// What the window says about the day lists: the status line for a content
// tab, the outcome of a fetching refresh, the tab captions, and the platform
// combo's items and tooltip. All pure; any thread.

/// What the status line and the filter controls show for a content tab.
struct ListSummary
{
    bool filterAppliesToApps = false;
    int filterBoxWidth = 250; ///< design units, times `UiScale` when applied
    bool platformComboShown = true;
    QString statusText;
};

/// What the content tab on show holds: one of the site's two day lists, or
/// something else (the installed apps).
enum class ShownList {
    Today,
    Yesterday,
    Other,
};

/// The summary for the `shown` list, given its `rowCount`, the filter text
/// and the `Platform` setting.
ListSummary SummariseList(ShownList shown, qsizetype rowCount, const QString& filterText, const QString& platform);

/// The four ways a fetching refresh can end, in the order they are decided.
enum class ScrapeOutcome {
    HasRows,         ///< Today has rows: the open hint
    NoFilterMatch,   ///< a filter text is set
    NoContent,       ///< platform "All": warn that nothing came
    NoPlatformMatch, ///< another platform: same text as NoFilterMatch
};

struct ScrapeOutcomeResult
{
    ScrapeOutcome outcome = ScrapeOutcome::HasRows;
    QString statusText;
};

/// How the refresh ended, from the Today row count, the filter text and the
/// `Platform` setting. For NoContent the caller also resets the captions of
/// the Today and Yesterday tabs and shows NoContentBoxTitle with `runtime::NoContentText`.
ScrapeOutcomeResult DecideScrapeOutcome(qsizetype todayRowCount, const QString& filterText, const QString& platform);

inline const QString NoContentBoxTitle = QStringLiteral("Zorvane Updates and News");
inline const QString TodayTabCaption = QStringLiteral("Today ");
inline const QString YesterdayTabCaption = QStringLiteral("Yesterday ");
inline const QString NoFilterMatchText =
    QStringLiteral("No files were found that match your search filter and/or platform.");

/// The `Platform` value for item `index` of the platform combo (0 All,
/// 1 Windows, 2 Linux, 3 MacOS, 4 Android); `current` for any other index.
QString PlatformForComboIndex(int index, const QString& current);

/// The platform combo's item for the `Platform` setting: 0 All, 1 Windows,
/// 2 Linux, 3 MacOS, 4 Android; 0 for any other value.
int PlatformComboIndex(const QString& platform);

/// The platform combo's tooltip for the `Platform` setting.
QString PlatformTooltip(const QString& platform);

} // namespace content
