#pragma once

#include <QByteArray>
#include <QString>

namespace settings {

// The desktop starts the program at log-on from an autostart entry, a
// desktop entry file in the user's autostart folder. These build its text.
// Pure; any thread.

/// One argument of an Exec line: quoted, with `"`, `` ` ``, `$` and `\`
/// escaped and `%` doubled, so that a desktop reading the line gets the
/// argument back unchanged, however odd its characters.
QString ExecArgument(const QString& argument);

/// A value of type string in a desktop entry: backslash, line feed, tab and
/// carriage return written as escapes, so the value stays on its line.
QString EntryString(const QString& value);

/// Whether desktops can start the program at `programPath` from an entry:
/// not when the path holds a "%". The entry's doubled "%%" is what the
/// format asks for, but GLib's loader (GNOME, and every desktop using GIO)
/// looks for the program before it undoes the doubling, finds no such file
/// and drops the entry.
bool DesktopsCanStart(const QString& programPath);

/// The whole entry (UTF-8, LF line ends) starting `programPath` without
/// arguments in `programDir`, named `title`, with the icon `iconName`.
QByteArray AutostartEntry(const QString& programPath, const QString& programDir, const QString& title,
                          const QString& iconName);

} // namespace settings
