#include "runtime/app_identity.h"

#include <QByteArray>

#include <cstdlib>

namespace runtime {

QString SiteBaseUrl()
{
    // Read each time (a few times per refresh): tests point it at a server
    // whose port is known only once it runs.
    QString value = QString::fromUtf8(qgetenv("ZORVANE_SITE_URL"));
    while (value.endsWith(u'/'))
        value.chop(1);
    return value.isEmpty() ? QStringLiteral("https://www.zorvane.com") : value;
}

} // namespace runtime
