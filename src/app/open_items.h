#pragma once

#include <QString>

#include <cstdint>

namespace app {

/// Opens an http or https address with the desktop's default handler,
/// without waiting and without a shell; anything else is refused. False when
/// refused or when the desktop could not open it.
bool OpenInBrowser(const QString& address);

/// True for the addresses OpenInBrowser hands on. Pure.
bool IsOpenableAddress(const QString& address);

/// Shows the selected file's description; a double click (type 2) opens
/// its page. `list` is TodayList or YesterdayList. GUI thread.
void OpenFileItem(int64_t list, int64_t eventType);

/// The open hint for a selected news item; a double click opens it.
void OpenNewsItem(int64_t list, int64_t eventType);

/// Opens the site's search page for the search box text; warns when empty.
void SiteSearch();

} // namespace app
