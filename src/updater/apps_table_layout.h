#pragma once

#include <QString>

namespace updater {

// The table the package manager prints for `list`, laid out once for both
// sides: the reader that turns it into the installed-apps list and the
// writer with which the program's own bridge prints it. A header line, the
// separator, one application per line at fixed columns, and, as the last
// line, often a closing remark. Positions are 1-based and count UTF-16
// characters, the unit QString measures in, so a character outside the Basic
// Multilingual Plane (most emoji) takes two of them.

/// A column of an application line: its first position (1-based) and its
/// width, in UTF-16 characters.
struct TableColumn
{
    qsizetype start;
    qsizetype width;
};

/// Characters 1-34: the name, ended by ShortenedNameMark when it was cut.
constexpr TableColumn NameColumn{1, 34};
/// Characters 35-69: the identifier, cut when longer.
constexpr TableColumn IdentifierColumn{35, 35};
/// Characters 71-90: the installed version.
constexpr TableColumn InstalledColumn{71, 20};
/// Characters 92-111: the newer version on offer; blank when none is known.
constexpr TableColumn AvailableColumn{92, 20};
/// The four columns the program reads, in the order of the line.
constexpr TableColumn AppColumns[] = {NameColumn, IdentifierColumn, InstalledColumn, AvailableColumn};
/// Where what the program does not read begins (the bridge's installation).
constexpr qsizetype SourceStart = 113;

// The columns never overlap, and from the identifier on a blank follows each,
// as the package manager prints them.
static_assert(NameColumn.start + NameColumn.width <= IdentifierColumn.start);
static_assert(IdentifierColumn.start + IdentifierColumn.width < InstalledColumn.start);
static_assert(InstalledColumn.start + InstalledColumn.width < AvailableColumn.start);
static_assert(AvailableColumn.start + AvailableColumn.width < SourceStart);

/// The line of 119 dashes under the table header.
inline const QString AppsSeparator = QString(119, u'-');

/// What begins a note of the package manager above the table header: a word
/// on what the table lacks (a remote that could not be reached, say), which
/// the program shows beside the check's counts.
inline const QString NotePrefix = QStringLiteral("Note: ");

/// The character that ends a name cut to fit its column; such a name no
/// longer matches, so the program upgrades the application by identifier.
constexpr char16_t ShortenedNameMark = u'\u2026';

/// `text` with every character that must not show in a table cell made a
/// blank: control characters and line or paragraph separators, which would
/// break or end a line or spill into the next list column, and the
/// bidirectional formatting characters (embeddings, overrides, isolates and
/// marks), which would reorder the row as shown. How the writer cleans every
/// value and the reader every field. Pure, any thread.
QString BlankUnshowable(const QString& text);

/// The text of `column` in `line`, made BlankUnshowable; shorter or empty
/// where the line ends early. Pure, any thread.
QString ColumnText(const QString& line, TableColumn column);

/// `text` without the blanks (U+0020) at its end, which pad a column and
/// belong to no value: how a name is read from its column and how a written
/// line ends. Pure, any thread.
QString WithoutTrailingBlanks(const QString& text);

/// True when `line` has an installed version at its column. The reader drops
/// the table's last line when it has none, as the package manager's closing
/// remark; a writer whose applications may lack a version therefore ends its
/// table with a closing line of its own. Pure, any thread.
bool IsApplicationRow(const QString& line);

} // namespace updater
