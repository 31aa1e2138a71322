#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace content {

// Everything the program lists points back to a page of the site. These
// decide what the status line says for a list event and which address, if
// any, goes to the browser; the caller shows the text and opens the address.
// All pure; any thread.

/// The site's search page for `query`: the query goes in untrimmed and
/// percent-encoded (UTF-8), so the site receives exactly what was typed, "&",
/// "#" and "+" included. Empty when `query` is empty (then show
/// SearchWarningTitle / SearchWarningText).
QString SiteSearchUrl(const QString& baseUrl, const QString& query);

inline const QString SearchWarningTitle = QStringLiteral("Oops!");
inline const QString SearchWarningText = QStringLiteral("You need to enter some search text in the box.");

/// What one event on a list does.
struct ItemAction
{
    QString statusText;
    QString openAddress; ///< empty: open nothing
};

/// For an event on the Today or Yesterday list with `rowCount` rows and the
/// selected row's columns (platforms, name, description, link) or none: the
/// description goes to the status line, and `opens` (a double click, or Enter)
/// opens the link. Missing columns count as empty.
ItemAction FileItemAction(qsizetype rowCount, const std::optional<QStringList>& selectedColumns, bool opens);

/// For an event on the News or Articles list (columns: title, link): the
/// open hint while a row is selected, else "Ready."; `opens` opens the
/// selected row's link.
ItemAction NewsItemAction(qsizetype rowCount, const std::optional<QStringList>& selectedColumns, bool opens);

} // namespace content
