#pragma once

#include <QString>

#include <cstdint>

namespace app {

// What the content lists keep between refreshes. GUI thread only.

/// The home page as the last fetching refresh took it; filter, platform and
/// version changes re-scan this text without fetching.
inline QString DayPageText;
/// The site's tag line from the last fetch.
inline QString SitePhrase;
/// Title of the first news item of the last fetching refresh (tray tooltip).
inline QString LatestHeadline;
/// The alert pop-up has been decided for the current fetching refresh.
inline bool AlertPopupShown = false;
/// The filter box filters the installed-apps list (while its tab shows).
inline bool FilterAppliesToApps = false;
/// The filter text last applied to the lists.
inline QString LastFilterText;
/// Content tab last seen by the loop and the one currently selected.
inline int LastSeenTab = 0;
inline int CurrentTab = 0;
/// The most recent control above 24 that raised an event.
inline int64_t LastUsedControl = 0;

} // namespace app
