#include "content/site_search.h"

#include "runtime/app_identity.h"

#include <QUrl>

namespace content {

namespace {

QString Column(const QStringList& columns, qsizetype index)
{
    return index < columns.size() ? columns[index] : QString();
}

ItemAction Finish(QString statusText, QString address, bool opens)
{
    if (!opens)
        address.clear();
    return {std::move(statusText), std::move(address)};
}

} // namespace

QString SiteSearchUrl(const QString& baseUrl, const QString& query)
{
    if (query.isEmpty())
        return QString();
    return baseUrl + QStringLiteral("/content/page/zv_search.html?cx=") + runtime::SiteSearchAccount +
           QStringLiteral("&cof=FORID%3A10&ie=UTF-8&q=") + QString::fromLatin1(QUrl::toPercentEncoding(query)) +
           QStringLiteral("&sa=Search");
}

ItemAction FileItemAction(qsizetype rowCount, const std::optional<QStringList>& selectedColumns, bool opens)
{
    if (rowCount <= 0)
        return {runtime::NoContentText, QString()};
    if (!selectedColumns)
        return {runtime::HintText, QString()};
    return Finish(Column(*selectedColumns, 2), Column(*selectedColumns, 3), opens);
}

ItemAction NewsItemAction(qsizetype rowCount, const std::optional<QStringList>& selectedColumns, bool opens)
{
    if (rowCount <= 0 || !selectedColumns)
        return {runtime::ReadyText, QString()};
    return Finish(QStringLiteral("Double-click the selected item to read it at ") + runtime::SiteDisplayName +
                      QStringLiteral("."),
                  Column(*selectedColumns, 1), opens);
}

} // namespace content
