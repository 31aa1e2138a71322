#pragma once

#include "updater/apps_table_writer.h"

#include <QList>
#include <QString>

#include <functional>

namespace packagesbridge {

// The distribution's packages, through PackageKit on the system bus: the
// applications they install (a package with a desktop entry shown in menus)
// one row each, every other pending update in one row.

/// The row of every pending update of a package that is no application.
/// Neither a Debian package name nor a flatpak identifier can hold "@".
inline const QString SystemPackagesIdentifier = QStringLiteral("@system-packages");
inline const QString SystemPackagesName = QStringLiteral("System packages");

/// The rows, or why there are none.
struct PackageKitRows
{
    QList<updater::TableApp> rows;
    QString problem; ///< empty when listed
};
PackageKitRows ListPackageKitApps();

/// What an upgrade through PackageKit came to.
struct PackageKitUpgrade
{
    enum class Outcome {
        NotFound,  ///< no installed package answers to the target
        Succeeded, ///< the packages are at the versions offered
        Failed,
    };
    Outcome outcome = Outcome::NotFound;
    QString installed; ///< Succeeded: what is now installed, "NAME VERSION" or the row's name
    QString problem;   ///< Failed: why, as a line for the user
};

/// Upgrades what `target` names, by identifier (a package name, "NAME:ARCH",
/// or SystemPackagesIdentifier) or by name (an application's desktop entry
/// name), only from trusted sources, saying each step through `say`:
/// progress a few times a second, a wait for another client's transaction, a
/// restart the update needs. Succeeded only when PackageKit finished with
/// success and every package is at the offered version (or already was). The
/// transaction belongs to PackageKit: the bridge never cancels it.
PackageKitUpgrade UpgradeWithPackageKit(const QString& target, bool byIdentifier,
                                        const std::function<void(const QString&)>& say);

} // namespace packagesbridge
