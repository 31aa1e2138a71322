#include "app/open_items.h"

#include "app/message_box.h"
#include "app/status_line.h"
#include "content/site_search.h"
#include "runtime/app_identity.h"
#include "ui/control_numbers.h"
#include "ui/controls.h"
#include "ui/list_control.h"

#include <QDesktopServices>
#include <QUrl>

namespace app {

namespace {

std::optional<QStringList> SelectedColumns(int64_t list, int columns)
{
    const int64_t row = ui::SelectedRow(list);
    if (row < 0)
        return std::nullopt;
    QStringList cells;
    for (int c = 0; c < columns; ++c)
        cells << ui::CellText(list, row, c);
    return cells;
}

void Act(const content::ItemAction& action)
{
    SetStatusText(action.statusText, false);
    if (!action.openAddress.isEmpty())
        OpenInBrowser(action.openAddress);
}

} // namespace

bool IsOpenableAddress(const QString& address)
{
    const QUrl url(address, QUrl::TolerantMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == u"http" || scheme == u"https") && !url.host().isEmpty();
}

bool OpenInBrowser(const QString& address)
{
    // Page content decides these addresses: nothing but web pages may open.
    if (!IsOpenableAddress(address))
        return false;
    return QDesktopServices::openUrl(QUrl(address, QUrl::TolerantMode));
}

void OpenFileItem(int64_t list, int64_t eventType)
{
    Act(content::FileItemAction(ui::RowCount(list), SelectedColumns(list, 4), eventType == ui::ControlDoubleClick));
}

void OpenNewsItem(int64_t list, int64_t eventType)
{
    Act(content::NewsItemAction(ui::RowCount(list), SelectedColumns(list, 2), eventType == ui::ControlDoubleClick));
}

void SiteSearch()
{
    const QString url = content::SiteSearchUrl(runtime::SiteBaseUrl(), ui::Text(ui::id::SearchBox));
    if (url.isEmpty()) {
        ShowMessageBox(content::SearchWarningTitle, content::SearchWarningText, FlagsWarningIcon);
        return;
    }
    OpenInBrowser(url);
}

} // namespace app
