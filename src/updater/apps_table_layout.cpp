#include "updater/apps_table_layout.h"

#include "runtime/text_positions.h"

namespace updater {

namespace {

/// U+202A-202E (embeddings, overrides), U+2066-2069 (isolates), U+200E,
/// U+200F and U+061C (marks). They are format characters, not controls, so
/// the category test alone lets them through.
bool IsBidiFormatting(char16_t c)
{
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0x200E || c == 0x200F || c == 0x061C;
}

} // namespace

QString BlankUnshowable(const QString& text)
{
    QString shown = text;
    for (QChar& c : shown) {
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Separator_Line ||
            category == QChar::Separator_Paragraph || IsBidiFormatting(c.unicode()))
            c = u' ';
    }
    return shown;
}

QString ColumnText(const QString& line, TableColumn column)
{
    return BlankUnshowable(line.mid(column.start - 1, column.width));
}

QString WithoutTrailingBlanks(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == u' ')
        --end;
    return text.left(end);
}

bool IsApplicationRow(const QString& line)
{
    return !runtime::TrimSpaces(ColumnText(line, InstalledColumn)).isEmpty();
}

} // namespace updater
