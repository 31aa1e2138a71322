#pragma once

#include "runtime/text_search.h"

#include <QString>
#include <QStringView>

namespace content {

// The scrapers read the site's pages as plain text and cut values out between
// fixed markers. These are the few text operations they share. All are pure
// and hold no state, so any thread may call them.

/// Text between the first `startMarker` and the first `endMarker` after it;
/// empty when either marker is missing. Exact, case-sensitive. The result
/// views `text`.
QStringView ExtractBetween(QStringView text, const runtime::Needle& startMarker, const runtime::Needle& endMarker);

/// ExtractBetween for a caller that keeps the result.
QString ExtractBetween(const QString& text, const QString& startMarker, const QString& endMarker);

/// `line` with spaces trimmed from both ends and at most one leading "<br>"
/// or "<br />" (exact case) dropped. The result views `line`.
QStringView CleanLine(QStringView line);

/// CleanLine for a caller that keeps the result.
QString CleanLine(const QString& line);

/// Removes every "<...>" span, then decodes "&#...;" numeric references (to
/// one UTF-16 unit, the value 0 to nothing), then "&amp;", then "&quot;".
/// Nothing else is decoded. A "<" with no ">" after it, or an "&#" with no
/// ";" after it, ends that pass and leaves the rest of the text as it is.
/// Linear in the length of `text`.
QString StripTags(const QString& text);

/// Turns every control character (C0 and C1, line feed and carriage return
/// among them) into a space, in place: a list cell must stay on its line,
/// since a row's columns are joined with line feeds.
void BlankControlCharacters(QString& text);

/// StripTags done on `text` itself; allocates only when `text` is shared.
void StripTagsInPlace(QString& text);

} // namespace content
