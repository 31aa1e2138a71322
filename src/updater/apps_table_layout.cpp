#include "updater/apps_table_layout.h"

#include "runtime/text_positions.h"

namespace updater {

QString ColumnText(const QString& line, TableColumn column)
{
    QString text = line.mid(column.start - 1, column.width);
    text.replace(u'\n', u' ');
    text.replace(u'\r', u' ');
    return text;
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
