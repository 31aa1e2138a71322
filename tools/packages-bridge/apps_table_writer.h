#pragma once

#include <QList>
#include <QString>

namespace packagesbridge {

// The table `zorvane-packages list` prints for the program's installed-apps
// tab: a header line, a line of 119 dashes, one application per line at fixed
// positions (name 1-34, identifier 35-69, installed version 71-90, available
// version 92-111, then the installation it is in), and a closing line. Positions count UTF-16 characters,
// the unit the program measures its texts in, so a character outside the
// Basic Multilingual Plane (most emoji) takes two of them. Everything here is
// pure.

/// One application as the table shows it.
struct TableApp
{
    QString name;
    QString identifier;
    QString installed;
    QString available; ///< empty when no newer version is known
    QString source;    ///< the flatpak installation, from position 113 on
};

/// The character that ends a name cut to fit its column; the program upgrades
/// such an application by its identifier instead.
constexpr char16_t ShortenedNameMark = u'\u2026';

/// Width of the name column, in UTF-16 characters.
constexpr qsizetype NameWidth = 34;

/// `text` with every control character and line or paragraph separator made
/// a blank, so that no value can break or end a table line.
QString SingleLine(const QString& text);

/// `text` as a cell of exactly `width` characters: SingleLine, cut at the
/// last whole-character boundary that fits (never inside a surrogate pair or
/// between a letter and its accent), padded with blanks.
QString Cell(const QString& text, qsizetype width);

/// The name column: the name as it is when it fits in NameWidth, else cut and
/// ended with ShortenedNameMark, padded to NameWidth.
QString NameCell(const QString& name);

/// The name as the program reads it back from the table: NameCell with its
/// trailing blanks removed.
QString ListedName(const QString& name);

/// The whole table, in the order given, each line ended by "\n", trailing
/// blanks removed from every line.
QString WriteAppsTable(const QList<TableApp>& apps);

} // namespace packagesbridge
