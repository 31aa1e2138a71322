#pragma once

#include <QHash>
#include <QList>
#include <QString>

namespace packagesbridge {

// Flatpak's answers about installed applications, read from its
// tab-separated output (what it prints when its output is a pipe), and the
// choice of what an upgrade request means. Everything here is pure.

/// One installed copy of an application or a runtime: an application
/// installed in two installations, or with two branches, is two of these.
struct InstalledApp
{
    QString installation; ///< "user", "system", or the id of a configured installation
    QString ref;          ///< "app/ID/ARCH/BRANCH" or "runtime/ID/ARCH/BRANCH"
    QString identifier;
    QString commit; ///< the deployed commit, as flatpak abbreviates it
    QString version;
    QString name;
    QString origin; ///< the remote it was installed from and is updated from
};

/// What a `flatpak list` was asked for: `--app` or `--runtime`.
enum class RefKind { App, Runtime };

/// The `--columns` value for `flatpak list`, in the order ParseInstalledApps
/// reads them. The name comes last so that a tab inside it cannot move
/// another field.
QString ListColumns();

/// What `flatpak list --app` (or `--runtime`) `--columns=ListColumns()`
/// printed, as installed copies of `kind`. Lines whose reference is not
/// ID/ARCH/BRANCH are skipped.
QList<InstalledApp> ParseInstalledApps(const QString& output, RefKind kind = RefKind::App);

/// The flatpak option that picks `installation`: --user, --system or
/// --installation=ID.
QString InstallationOption(const QString& installation);

/// `text` (a name, a version: data from outside) made fit to be printed by
/// the bridge: one line, and unable to pass for the words by which the
/// program recognises a successful upgrade.
QString Defused(const QString& text);

/// What an upgrade request names: every installed copy of one application.
struct Targets
{
    QList<InstalledApp> apps;
    QString problem; ///< why nothing is named, as a line for the user; empty when apps is not
};

/// The copies whose identifier is `identifier`. When none is, and
/// `identifier` is as long as the table's identifier column, the copies of
/// the one application whose identifier begins with it (the table cut it).
Targets FindByIdentifier(const QList<InstalledApp>& installed, const QString& identifier);

/// The copies of the one application whose name is `name`, either as flatpak
/// gives it or as the table lists it (made one line, cut, trailing blanks
/// removed). Several applications of that name are a problem, like none.
Targets FindByName(const QList<InstalledApp>& installed, const QString& name);

} // namespace packagesbridge
