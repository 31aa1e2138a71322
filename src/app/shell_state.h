#pragma once

#include "app/main_layout.h"
#include "ui/control_numbers.h"

#include <QColor>
#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <mutex>

namespace app {

// The shell's process-wide state, all of it, grouped by the threads that
// write and read it. Flags that the runtime services share with the shell
// live in runtime/process_state.h.

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
inline int LastSeenTab = ui::tab::Today;
inline int CurrentTab = ui::tab::Today;
/// The most recent control from SearchBox on that raised an event.
inline int64_t LastUsedControl = 0;
/// The name-alert log of the last scan of the day lists. GUI thread only:
/// written by ScrapeDayLists, read by the alert pop-up and LastAlertLog.
inline QString AlertLog;

// What the installed-apps list keeps between checks. GUI thread only.

/// The data lines of the last successful check, sorted; a failed check
/// leaves them, and a filter change refills the list from them.
inline QStringList AppLines;

// The main window's layout. GUI thread only, except where said.

/// The layout's memory of the main window; starts with the maximised state
/// unknown so that the first layout always runs.
inline LayoutState MainLayoutState;
/// The x of WinkImage chosen by the last layout. Written by the GUI thread,
/// read by the wink animation's thread.
inline std::atomic<int64_t> WinkX{0};

// The settings window. GUI thread only.

/// The refresh rate as the settings window last left it; -1 before the first
/// close, so that the first close always updates the refresh tooltip. Written
/// and read by CloseSettingsWindow.
inline int64_t RateAtLastClose = -1;

// What the picture worker and the GUI thread hand each other.

/// A picture worker is running: set by the GUI thread when it starts one,
/// cleared by the worker when it ends.
inline std::atomic<int64_t> PictureWorkerBusy{0};
/// The picture of the day is downloaded: written by the worker, read on the
/// GUI thread (the cursor over the picture, a click on it, a redraw).
inline std::atomic<int64_t> PictureReady{0};

// Every entry below is read and written only with PictureLock held.

inline std::mutex PictureLock;
/// The picture's title and story address: written by the picture worker, read
/// on the GUI thread (tooltip, click on the picture).
inline QString PublishedPictureTitle;
inline QString PublishedPictureStoryUrl;
/// The title last put on the picture's tooltip: written on the GUI thread when
/// it applies the tooltip, and by the worker at its start to force the next
/// one.
inline QString LastPictureTooltip;
/// The picture's background and frame, decided on the GUI thread when the
/// worker starts: the worker must not read the settings or the application
/// palette, which only the GUI thread may touch. Read where the picture is
/// drawn (the worker, or the GUI thread at the end of start-up).
struct PictureColours
{
    QColor background;
    QColor frame;
};
inline PictureColours ChosenPictureColours;

} // namespace app
