#pragma once

#include "runtime/text_search.h"

#include <QString>
#include <QStringView>

namespace runtime {

// The page and table rules count character positions from 1, as the site's
// markers are described. These helpers keep each rule readable as written.
// They work on views, so a scan can cut a cached page without copying it;
// the QString forms are for callers that keep the piece they cut (hold their
// result as a QString: a view of it would outlive it).

/// Position (1-based) of the first `needle` in `text` at or after `start`
/// (values below 1 count as 1); 0 when absent or when either text is empty.
/// Exact, case-sensitive. Any text converts to a Needle; a marker searched
/// often is best declared as a `constexpr` one.
qsizetype Find(QStringView text, const Needle& needle, qsizetype start = 1);

/// The first `count` characters; empty for a count of 0 or less. The result
/// views `text`.
QStringView Left(QStringView text, qsizetype count);

/// The text from position `pos` (1-based) to the end: all of it for 1 or
/// less, empty past the end. The result views `text`.
QStringView From(QStringView text, qsizetype pos);

/// Left for a caller that keeps the result.
QString Left(const QString& text, qsizetype count);

/// From for a caller that keeps the result.
QString From(const QString& text, qsizetype pos);

/// Removes the space character U+0020, and only it, from both ends. The
/// result views `text`, so it lives no longer than it.
QStringView TrimSpaces(QStringView text);

/// TrimSpaces for a caller that keeps the result; `text` itself, not a copy,
/// when it has no space at either end.
QString TrimSpaces(const QString& text);

} // namespace runtime
