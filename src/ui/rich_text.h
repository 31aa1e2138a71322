#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace ui {

// The read-only rich-text box (kind RichText). Any thread.

/// Appends `text` as a new line at the end and scrolls to it.
void AppendLine(int64_t box, const QString& text);

/// Appends each of `lines` as a new line at the end in one change and
/// scrolls to the last once.
void AppendLines(int64_t box, const QStringList& lines);

/// Keeps at most `lines` lines in the box from now on: appending more drops
/// the oldest. 0 lifts the limit.
void SetLineLimit(int64_t box, int lines);

/// Removes any text selection, leaving the cursor where the selection ended.
void ClearTextSelection(int64_t box);

/// Colours `length` characters from `start` (0-based) with a text and a
/// background colour; an invalid colour leaves that part as it is.
void ColourSpan(int64_t box, int start, int length, const QColor& text, const QColor& back);

/// Text and background colour of the character at `position` (0-based).
QColor SpanTextColour(int64_t box, int position);

} // namespace ui
