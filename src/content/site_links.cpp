#include "content/site_links.h"

#include <QUrl>

namespace content {

QString JoinOnSite(const QString& baseUrl, const QString& value)
{
    const QString joined = baseUrl + value;
    const QUrl base(baseUrl);
    const QUrl url(joined);
    const bool sameSite = url.isValid() && base.isValid() && url.scheme() == base.scheme() &&
                          url.host() == base.host() && url.port() == base.port() && url.userInfo().isEmpty();
    return sameSite ? joined : QString();
}

} // namespace content
