#include "ui/rich_text.h"

#include "ui/control_registry.h"
#include "ui/gui_thread.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

namespace ui {

void AppendLine(int64_t box, const QString& text)
{
    AppendLines(box, {text});
}

void AppendLines(int64_t box, const QStringList& lines)
{
    OnGuiThread([&] {
        QTextEdit* b = WidgetAs<QTextEdit>(box);
        if (b == nullptr || lines.isEmpty())
            return;
        QTextCursor cursor(b->document());
        cursor.beginEditBlock();
        cursor.movePosition(QTextCursor::End);
        for (const QString& line : lines) {
            if (!b->document()->isEmpty())
                cursor.insertBlock();
            cursor.insertText(line);
        }
        cursor.endEditBlock();
        b->verticalScrollBar()->setValue(b->verticalScrollBar()->maximum());
    });
}

void SetLineLimit(int64_t box, int lines)
{
    OnGuiThread([&] {
        if (QTextEdit* b = WidgetAs<QTextEdit>(box))
            b->document()->setMaximumBlockCount(lines);
    });
}

void ClearTextSelection(int64_t box)
{
    OnGuiThread([&] {
        QTextEdit* b = WidgetAs<QTextEdit>(box);
        if (b == nullptr || !b->textCursor().hasSelection())
            return;
        QTextCursor cursor = b->textCursor();
        cursor.clearSelection();
        b->setTextCursor(cursor);
    });
}

void ColourSpan(int64_t box, int start, int length, const QColor& text, const QColor& back)
{
    OnGuiThread([&] {
        QTextEdit* b = WidgetAs<QTextEdit>(box);
        if (b == nullptr || length <= 0 || start < 0)
            return;
        QTextCursor cursor(b->document());
        const int end = std::min(start + length, b->document()->characterCount() - 1);
        if (end <= start)
            return;
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        QTextCharFormat format;
        if (text.isValid())
            format.setForeground(text);
        if (back.isValid())
            format.setBackground(back);
        cursor.mergeCharFormat(format);
    });
}

QColor SpanTextColour(int64_t box, int position)
{
    return OnGuiThread([&]() -> QColor {
        QTextEdit* b = WidgetAs<QTextEdit>(box);
        if (b == nullptr)
            return QColor();
        QTextCursor cursor(b->document());
        cursor.setPosition(position + 1);
        const QTextCharFormat format = cursor.charFormat();
        return format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color() : QColor();
    });
}

} // namespace ui
