#pragma once

#include "settings/app_settings.h"

#include <QList>
#include <QString>

#include <optional>

namespace content {

// The home page lists the files added or updated on the last days, one block
// per day between a header and a footer comment line. The first block is
// today's, every later block yesterday's. These functions turn the page into
// list rows and tab captions; the operation that puts them into the list
// controls stays a thin shell around them. All pure; any thread.

inline const QString DayHeaderMarker = QStringLiteral("<!-- Template: files_day_rss_header -->");
/// The footer is written without the colon the header has.
inline const QString DayFooterMarker = QStringLiteral("<!-- Template files_day_rss_footer -->");
/// Marks a platform the file supports in the first column (U+25CF).
inline constexpr QChar PlatformMark = QChar(0x25CF);

/// One row of the Today or Yesterday list, in column order.
struct FileRow
{
    QString platformCell; ///< " " then, per platform, the mark or two spaces and three spaces
    QString name;
    QString description; ///< always ends with "."
    QString link;        ///< absolute address of the file's page

    /// The four columns joined by line feeds, as the list control takes a row.
    QString Joined() const;

    friend bool operator==(const FileRow&, const FileRow&) = default;
};

/// What a freshly fetched home page leaves behind for the scans.
struct DayPage
{
    QString sitePhrase;  ///< the site's tag line, cleaned, without its final "."
    QString dayPageText; ///< the page from 40 characters before the day header on; all of it without a header
};

/// Takes the tag line and the day blocks out of the home page. An empty or
/// foreign page gives an empty phrase and a text without markers.
DayPage TakeDayPage(const QString& page);

/// Result of one scan over the cached day text.
struct DayScan
{
    QList<FileRow> today;
    QList<FileRow> yesterday;
    /// Indices into `today` whose Name and Description cells take the alert
    /// colour; only filled when `Alert_Highlight` is 1. Ascending, no repeats.
    QList<qsizetype> alertRows;
    /// Captions of tabs 0 and 1; unset when no date line or no footer was met,
    /// so the tabs keep what they had.
    std::optional<QString> tab0Caption;
    std::optional<QString> tab1Caption;
    /// One name and a line feed per alert word hit in `today`, in list order.
    QString alertLog;
};

/// Scans `dayPageText` (from TakeDayPage) with the `Platform`,
/// `Version_Shown`, `Alert_Names` and `Alert_Highlight` settings and the
/// filter text. Links are `baseUrl` + "/" + the page's relative address.
/// Lines are split at CR LF only; a page without day markers gives no rows.
DayScan ScanDayPage(const QString& dayPageText, const settings::AppSettings& settings, const QString& filterText,
                    const QString& baseUrl);

} // namespace content
