#include "runtime/app_identity.h"

#include <QByteArray>

#include <cstdlib>

namespace runtime {

const QString& SiteBaseUrl()
{
    static const QString url = [] {
        QString value = QString::fromUtf8(qgetenv("ZORVANE_SITE_URL"));
        while (value.endsWith(u'/'))
            value.chop(1);
        return value.isEmpty() ? QStringLiteral("https://www.zorvane.com") : value;
    }();
    return url;
}

} // namespace runtime
