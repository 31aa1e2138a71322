#include "app_permissions.h"

#include <QHash>
#include <QStringView>

namespace packagesbridge {

namespace {

/// Section to key to value, of the sections that grant something.
using Metadata = QHash<QString, QHash<QString, QString>>;

const QString Context = QStringLiteral("Context");
const QString SessionBus = QStringLiteral("Session Bus Policy");
const QString SystemBus = QStringLiteral("System Bus Policy");

Metadata Read(const QString& text)
{
    Metadata metadata;
    QString section;
    for (const QString& raw : text.split(u'\n')) {
        const QString line = raw.trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            section = line.mid(1, line.size() - 2);
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0 || line.startsWith(u'#') ||
            (section != Context && section != SessionBus && section != SystemBus))
            continue;
        metadata[section].insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
    }
    return metadata;
}

QStringList Items(const QString& value)
{
    QStringList items = value.split(u';', Qt::SkipEmptyParts);
    for (QString& item : items)
        item = item.trimmed();
    items.removeAll(QString());
    return items;
}

} // namespace

QStringList NewPermissions(const QString& installed, const QString& offered)
{
    const Metadata before = Read(installed);
    const Metadata after = Read(offered);
    QStringList lines;
    // The context's keys are lists; a "!" item takes a grant away, which is
    // no new permission.
    const QHash<QString, QString> context = after.value(Context);
    QStringList keys = context.keys();
    keys.sort();
    for (const QString& key : keys) {
        const QStringList had = Items(before.value(Context).value(key));
        QStringList added;
        for (const QString& item : Items(context.value(key))) {
            if (!item.startsWith(u'!') && !had.contains(item))
                added << item;
        }
        if (!added.isEmpty())
            lines << key + QStringLiteral(": ") + added.join(QStringLiteral("; "));
    }
    for (const auto& [section, label] :
         {std::pair{SessionBus, QStringLiteral("session bus")}, std::pair{SystemBus, QStringLiteral("system bus")}}) {
        const QHash<QString, QString> policy = after.value(section);
        QStringList names = policy.keys();
        names.sort();
        QStringList added;
        for (const QString& name : names) {
            const QString access = policy.value(name);
            if (access != QLatin1String("none") && before.value(section).value(name) != access)
                added << QStringLiteral("%1 (%2)").arg(name, access);
        }
        if (!added.isEmpty())
            lines << label + QStringLiteral(": ") + added.join(QStringLiteral("; "));
    }
    return lines;
}

} // namespace packagesbridge
