#include "desktop_entry.h"

#include <QStringList>

namespace packagesbridge {

QString ShownDesktopName(const QString& text)
{
    QString name;
    bool inEntry = false;
    for (const QString& raw : text.split(u'\n')) {
        const QString line = raw.trimmed();
        if (line.startsWith(u'[')) {
            inEntry = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inEntry || equals <= 0 || line.startsWith(u'#'))
            continue;
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if (key == QLatin1String("Name"))
            name = value;
        else if ((key == QLatin1String("NoDisplay") || key == QLatin1String("Hidden")) &&
                 value == QLatin1String("true"))
            return QString();
    }
    return name;
}

} // namespace packagesbridge
