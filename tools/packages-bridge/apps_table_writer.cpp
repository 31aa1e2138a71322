#include "apps_table_writer.h"

#include <QTextBoundaryFinder>

#include <algorithm>

namespace packagesbridge {

namespace {

constexpr qsizetype IdentifierWidth = 35;
constexpr qsizetype VersionWidth = 20;
constexpr qsizetype SeparatorLength = 119;

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

QString WithoutTrailingBlanks(QString text)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == u' ')
        --end;
    text.truncate(end);
    return text;
}

} // namespace

QString SingleLine(const QString& text)
{
    QString line = text;
    for (QChar& c : line) {
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Separator_Line ||
            category == QChar::Separator_Paragraph)
            c = u' ';
    }
    return line;
}

QString Cell(const QString& text, qsizetype width)
{
    return CutAtBoundary(SingleLine(text), width).leftJustified(width, u' ');
}

QString NameCell(const QString& name)
{
    const QString line = SingleLine(name);
    if (line.size() <= NameWidth)
        return line.leftJustified(NameWidth, u' ');
    return (CutAtBoundary(line, NameWidth - 1) + QChar(ShortenedNameMark)).leftJustified(NameWidth, u' ');
}

QString ListedName(const QString& name)
{
    return WithoutTrailingBlanks(NameCell(name));
}

QString WriteAppsTable(const QList<TableApp>& apps)
{
    const QChar blank = u' ';
    QString table =
        WithoutTrailingBlanks(Cell(QStringLiteral("Name"), NameWidth) + Cell(QStringLiteral("Id"), IdentifierWidth) +
                              blank + Cell(QStringLiteral("Version"), VersionWidth) + blank +
                              Cell(QStringLiteral("Available"), VersionWidth) + blank + QStringLiteral("Source")) +
        u'\n';
    table += QString(SeparatorLength, u'-') + u'\n';
    for (const TableApp& app : apps) {
        table += WithoutTrailingBlanks(NameCell(app.name) + Cell(app.identifier, IdentifierWidth) + blank +
                                       Cell(app.installed, VersionWidth) + blank + Cell(app.available, VersionWidth) +
                                       blank + SingleLine(app.source)) +
                 u'\n';
    }
    // A reader that drops the tool's last line, as the package manager's
    // closing remark, then still keeps every application.
    table += QString::number(apps.size()) +
             (apps.size() == 1 ? QStringLiteral(" application listed.\n") : QStringLiteral(" applications listed.\n"));
    return table;
}

} // namespace packagesbridge
