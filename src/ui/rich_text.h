#pragma once

#include <QColor>
#include <QString>

#include <cstdint>

namespace ui {

// The read-only rich-text box (kind RichText). Any thread.

/// Appends `text` as a new line at the end and scrolls to it.
void AppendLine(int64_t box, const QString& text);

/// Removes any text selection, leaving the cursor where the selection ended.
void ClearTextSelection(int64_t box);

/// Colours `length` characters from `start` (0-based) with a text and a
/// background colour; an invalid colour leaves that part as it is.
void ColourSpan(int64_t box, int start, int length, const QColor& text, const QColor& back);

/// Text and background colour of the character at `position` (0-based).
QColor SpanTextColour(int64_t box, int position);

} // namespace ui
