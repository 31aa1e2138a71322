#include "updater/apps_table_writer.h"

#include "updater/apps_table_layout.h"

#include <QTextBoundaryFinder>

#include <algorithm>
#include <iterator>

namespace updater {

namespace {

/// The longest start of `text` that ends on a character boundary and is at
/// most `width` UTF-16 characters long.
QString CutAtBoundary(const QString& text, qsizetype width)
{
    if (text.size() <= width)
        return text;
    QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, text);
    boundaries.setPosition(width);
    if (!boundaries.isAtBoundary())
        boundaries.toPreviousBoundary();
    return text.left(std::max<qsizetype>(boundaries.position(), 0));
}

QString NameCell(const QString& name)
{
    const QString line = BlankUnshowable(name);
    if (line.size() <= NameColumn.width)
        return line;
    return CutAtBoundary(line, NameColumn.width - 1) + QChar(ShortenedNameMark);
}

/// A table line with `cells` (name, identifier, installed, available) at
/// their columns and `source` at SourceStart. The cells fit their columns, so
/// padding to each start is all the placing there is.
QString TableLine(const QString (&cells)[std::size(AppColumns)], const QString& source)
{
    QString line;
    for (size_t i = 0; i < std::size(AppColumns); ++i)
        line = line.leftJustified(AppColumns[i].start - 1, u' ') + CutAtBoundary(cells[i], AppColumns[i].width);
    return WithoutTrailingBlanks(line.leftJustified(SourceStart - 1, u' ') + source);
}

} // namespace

QString ListedName(const QString& name)
{
    return WithoutTrailingBlanks(NameCell(name));
}

QString AppsTableRow(const TableApp& app)
{
    return TableLine({NameCell(app.name), BlankUnshowable(app.identifier), BlankUnshowable(app.installed),
                      BlankUnshowable(app.available)},
                     BlankUnshowable(app.source));
}

QString WriteAppsTable(const QList<TableApp>& apps, ClosingLine closing, const QStringList& notes)
{
    // Notes go above the table, where no line can be taken for an
    // application's.
    QString table;
    // A note must not hold the separator either, or the table would start
    // inside it.
    for (const QString& note : notes)
        table += NotePrefix + BlankUnshowable(note).replace(AppsSeparator, AppsSeparator.left(118) + u' ') + u'\n';
    table += TableLine(
                 {QStringLiteral("Name"), QStringLiteral("Id"), QStringLiteral("Version"), QStringLiteral("Available")},
                 QStringLiteral("Source")) +
             u'\n' + AppsSeparator + u'\n';
    for (const TableApp& app : apps)
        table += AppsTableRow(app) + u'\n';
    if (closing == ClosingLine::Counted) {
        table += QString::number(apps.size()) + (apps.size() == 1 ? QStringLiteral(" application listed.\n")
                                                                  : QStringLiteral(" applications listed.\n"));
    }
    return table;
}

} // namespace updater
