#include "package_sources.h"

#include "updater/package_manager.h"

#include <QStandardPaths>
#include <QString>
#include <QStringList>

namespace packagesbridge {

namespace {

bool Chosen(const char* source)
{
    const QString chosen = qEnvironmentVariable("ZORVANE_PACKAGES_SOURCES");
    return chosen.isEmpty() || chosen.split(u',').contains(QLatin1String(source));
}

} // namespace

bool UseFlatpak()
{
    return Chosen("flatpak") && !QStandardPaths::findExecutable(QStringLiteral("flatpak")).isEmpty();
}

bool UsePackageKit()
{
    return Chosen("packagekit") && updater::PackageKitInstalled();
}

} // namespace packagesbridge
