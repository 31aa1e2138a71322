#pragma once

#include "updater/apps_table_layout.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace updater {

// The package manager's table of installed applications, turned into the
// rows of the installed-apps list. Everything here is pure: text in, rows
// and texts out, any thread.

/// What an application's available version reads when the table gives none.
inline const QString UnknownVersion = QStringLiteral("Unknown");

/// One application as its table line gives it at the columns of
/// apps_table_layout.h.
struct AppRow
{
    QString name;       ///< NameColumn, trailing blanks removed
    QString identifier; ///< IdentifierColumn, trimmed
    QString installed;  ///< InstalledColumn, trimmed
    QString available;  ///< AvailableColumn, trimmed; "Unknown" when blank
};

/// The data lines of a list run's output: everything after the separator
/// line (or after the first 120 characters when there is none), cut at each
/// CR LF, sorted without regard to letter case (lines that differ only in
/// case keep the table's order). The piece after the last CR LF is the tool's
/// last line; it is kept when IsApplicationRow says it is one, so that no
/// listed application is lost to the rule that drops a closing remark. No
/// bound on the count.
QStringList TakeAppLines(const QString& output);

/// The notes of a list run's output: its lines above the separator line that
/// begin with NotePrefix, in their order, without it. None without a
/// separator.
QStringList TakeToolNotes(const QString& output);

/// The fields of one table line. A line shorter than a field's start gives an
/// empty field; positions count UTF-16 characters; what must not show inside
/// a field (BlankUnshowable: line breaks, bidirectional formatting) becomes
/// blanks, so a field can neither spill into the next list column nor
/// reorder the row.
AppRow ParseAppLine(const QString& line);

/// True when `available` is a newer version than `installed`, in the order
/// packagers give their versions: an epoch "N:" first; then alternating runs
/// of digits, compared as numbers of any length, and of other characters,
/// compared character by character with "~" before everything (the end
/// included), then a pre-release word after "-" or "." (dev, alpha, beta,
/// pre or preview, rc, in that order, any case), then the end, then letters
/// (any case), then other characters. A "v" or "V" before a leading digit is
/// ignored. "Unknown", an empty text, a bound ("< 1.5") and a note ("(remote
/// unreachable)") name no version: never newer, and, installed, older than
/// any version. A strict weak order.
bool IsNewerVersion(const QString& installed, const QString& available);

/// The installed-apps list as a check or a filter change fills it.
struct AppsFill
{
    /// Five cells per row separated by line feeds: name, installed version,
    /// available version, identifier, and the update mark "1" or "0".
    QList<QString> rows;
    QList<bool> updates; ///< per row: a newer version is available
    qsizetype updateCount = 0;
};

/// The rows of `lines` in their order whose names contain `filter` (any
/// letter case; an empty filter keeps all).
AppsFill FillApps(const QStringList& lines, const QString& filter);

/// The completion text of a check: the number of lines stored and the number
/// of rows shown with an update, then the tool's notes, each on a line.
QString CheckCompleteText(qsizetype installed, qsizetype updates, const QStringList& notes = {});

/// What the box shows after a failed check: "Last check failed.", then, after
/// an empty line, the tool's last error lines when it left any.
QString CheckFailedText(const QStringList& lastErrors);

} // namespace updater
