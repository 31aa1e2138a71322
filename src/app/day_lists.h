#pragma once

#include <QString>

namespace app {

/// Re-scans the cached home page into the Today and Yesterday lists (which
/// the caller has emptied), sets the day captions and colours alert rows.
/// GUI thread.
void ScrapeDayLists();

/// Empties the Today and Yesterday lists and scans the cached home page into
/// them again, for a change of the filter, platform or a display setting.
/// GUI thread.
void RescanDayLists();

/// Status line, filter box width and platform choice for content tab `tab`.
void ShowListSummary(int tab);

/// Status line (and for an empty refresh the warning) after a fetching refresh.
void ShowScrapeOutcome();

/// The name-alert pop-up, once per fetching refresh. `alertLog` is the log of
/// the last scan.
void ShowAlertPopup();

/// The alert log of the last scan.
const QString& LastAlertLog();

} // namespace app
