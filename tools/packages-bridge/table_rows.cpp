#include "table_rows.h"

#include "updater/apps_table_layout.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace packagesbridge {

QList<updater::TableApp> FinishedRows(QList<updater::TableApp> rows)
{
    QHash<QString, QSet<QString>> identifiersByName;
    for (const updater::TableApp& row : rows)
        identifiersByName[row.name].insert(row.identifier);
    for (updater::TableApp& row : rows) {
        if (identifiersByName.value(row.name).size() > 1 || row.name.startsWith(u'-'))
            row.name = QStringLiteral("%1 (%2)").arg(row.name, row.identifier) + QChar(updater::ShortenedNameMark);
    }
    std::stable_sort(rows.begin(), rows.end(), [](const updater::TableApp& a, const updater::TableApp& b) {
        const int byName = a.name.compare(b.name, Qt::CaseInsensitive);
        return byName != 0 ? byName < 0 : a.identifier < b.identifier;
    });
    return rows;
}

} // namespace packagesbridge
