#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace updater {

// The package manager's `list` table written out, by the program's own bridge
// for the installed-apps tab and by the tests' stand-in package manager. It
// follows apps_table_layout.h, the layout the reader takes apart, so that
// every application written is read back: whatever a value holds, it stays
// inside its column and on its line. Everything here is pure, any thread.

/// One application as the table shows it.
struct TableApp
{
    QString name;
    QString identifier;
    QString installed;
    QString available; ///< empty when no newer version is known
    QString source;    ///< where it is installed, from SourceStart on; never cut
};

/// Whether a table ends with a line that counts its applications.
enum class ClosingLine {
    /// "N application(s) listed.": the reader drops it as the closing remark,
    /// so the last application is kept even when it has no installed version.
    Counted,
    /// The last application is the table's last line, as the package manager
    /// itself may end its table.
    Omitted,
};

/// The name as the program reads it back from the table: BlankUnshowable; when
/// longer than NameColumn, cut at the last whole character that leaves room
/// for ShortenedNameMark and ended with it; trailing blanks removed.
QString ListedName(const QString& name);

/// One application line, without its line end: the name as ListedName, every
/// other value made BlankUnshowable and cut at the last whole character that fits
/// its column (never inside a surrogate pair, never between a letter and its
/// accent), each at its column, the source at SourceStart, trailing blanks
/// removed.
QString AppsTableRow(const TableApp& app);

/// The whole table: a line NotePrefix + BlankUnshowable(note) for each of
/// `notes`, a header line, AppsSeparator, AppsTableRow of each application in
/// the order given and, unless omitted, the closing line; each line ended by
/// "\n".
QString WriteAppsTable(const QList<TableApp>& apps, ClosingLine closing = ClosingLine::Counted,
                       const QStringList& notes = {});

} // namespace updater
