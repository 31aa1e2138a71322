#pragma once

#include <QString>

namespace runtime {

// The page and table rules count character positions from 1, as the site's
// markers are described. These helpers keep each rule readable as written.

/// Position (1-based) of the first `needle` in `text` at or after `start`
/// (values below 1 count as 1); 0 when absent or when either text is empty.
qsizetype Find(const QString& text, const QString& needle, qsizetype start = 1);

/// The first `count` characters; empty for a count of 0 or less.
QString Left(const QString& text, qsizetype count);

/// The text from position `pos` (1-based) to the end: all of it for 1 or
/// less, empty past the end.
QString From(const QString& text, qsizetype pos);

/// Removes the space character U+0020, and only it, from both ends. The
/// result views `text`, so it lives no longer than it.
QStringView TrimSpaces(QStringView text);

} // namespace runtime
