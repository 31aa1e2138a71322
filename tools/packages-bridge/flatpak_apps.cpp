#include "flatpak_apps.h"

#include "updater/apps_table_layout.h"
#include "updater/apps_table_writer.h"

#include <QStringList>

namespace packagesbridge {

namespace {

QString Quoted(const QString& text)
{
    return u'"' + Defused(text) + u'"';
}

/// The copies of exactly one application among `matches`; a problem when
/// they belong to several.
Targets OneApplication(const QList<InstalledApp>& matches, const QString& what)
{
    QStringList identifiers;
    for (const InstalledApp& app : matches) {
        if (!identifiers.contains(app.identifier))
            identifiers << app.identifier;
    }
    if (identifiers.size() > 1) {
        return {{},
                QStringLiteral("%1 applications match %2 (%3); upgrade one by its identifier")
                    .arg(QString::number(identifiers.size()), what, identifiers.join(QStringLiteral(", ")))};
    }
    return {matches, {}};
}

} // namespace

QString Defused(const QString& text)
{
    QString line = updater::BlankUnshowable(text);
    line.replace(QStringLiteral("Successfully installed"), QStringLiteral("Successfully_installed"));
    return line;
}

QString ListColumns()
{
    return QStringLiteral("installation:f,ref:f,active:f,origin:f,version:f,name:f");
}

QList<InstalledApp> ParseInstalledApps(const QString& output, RefKind kind)
{
    const QString prefix = kind == RefKind::App ? QStringLiteral("app/") : QStringLiteral("runtime/");
    QList<InstalledApp> apps;
    for (const QString& line : output.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(u'\t');
        if (fields.size() < 6)
            continue;
        const QStringList refParts = fields[1].split(u'/');
        if (refParts.size() != 3 || refParts[0].isEmpty())
            continue;
        InstalledApp app;
        app.installation = fields[0];
        app.ref = prefix + fields[1];
        app.identifier = refParts[0];
        app.commit = fields[2];
        app.origin = fields[3];
        app.version = fields[4];
        app.name = fields.mid(5).join(u'\t');
        apps << app;
    }
    return apps;
}

QString InstallationOption(const QString& installation)
{
    if (installation == QLatin1String("user"))
        return QStringLiteral("--user");
    if (installation == QLatin1String("system"))
        return QStringLiteral("--system");
    return QStringLiteral("--installation=") + installation;
}

Targets FindByIdentifier(const QList<InstalledApp>& installed, const QString& identifier)
{
    QList<InstalledApp> matches;
    for (const InstalledApp& app : installed) {
        if (app.identifier == identifier)
            matches << app;
    }
    if (matches.isEmpty() && identifier.size() == updater::IdentifierColumn.width) {
        for (const InstalledApp& app : installed) {
            if (app.identifier.startsWith(identifier))
                matches << app;
        }
    }
    if (matches.isEmpty())
        return {{}, QStringLiteral("no installed application has the identifier ") + Quoted(identifier)};
    return OneApplication(matches, QStringLiteral("the identifier ") + Quoted(identifier));
}

Targets FindByName(const QList<InstalledApp>& installed, const QString& name)
{
    QList<InstalledApp> matches;
    for (const InstalledApp& app : installed) {
        if (app.name == name || updater::ListedName(app.name) == name)
            matches << app;
    }
    if (matches.isEmpty())
        return {{}, QStringLiteral("no installed application is named ") + Quoted(name)};
    return OneApplication(matches, QStringLiteral("the name ") + Quoted(name));
}

} // namespace packagesbridge
