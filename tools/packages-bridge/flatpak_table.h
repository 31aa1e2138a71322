#pragma once

#include "flatpak_apps.h"
#include "remote_refs.h"
#include "updater/apps_table_writer.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace packagesbridge {

// The state of the flatpak installations, as the bridge gathered it, and the
// table rows and notes it comes to. Everything here is pure.

/// The row that stands for every runtime with an update: runtimes carry most
/// security fixes, yet an application's update pulls in only its own. No
/// flatpak identifier or package name holds "@", so it names no application.
inline const QString RuntimesIdentifier = QStringLiteral("@flatpak-runtimes");
inline const QString RuntimesName = QStringLiteral("Flatpak runtimes");

/// What asking one remote of one installation came to.
struct RemoteAnswer
{
    enum class Outcome { Answered, Unreachable, TimedOut };
    QString installation;
    QString remote;
    Outcome outcome = Outcome::Unreachable;
    QHash<QString, RemoteRef> refs; ///< by reference; empty unless Answered
    bool versionsStale = false;     ///< its AppStream data could not be refreshed
};

/// Everything a listing or an upgrade decides on.
struct FlatpakState
{
    QList<InstalledApp> apps;
    QList<InstalledApp> runtimes;
    QHash<QString, QStringList> masks; ///< installation to its mask patterns
    QList<RemoteAnswer> answers;
};

/// Where an installed copy stands against its remote.
enum class Standing {
    Current,     ///< the remote offers the deployed commit
    Update,      ///< the remote offers another commit
    Masked,      ///< held back by `flatpak mask`; never updated
    EndOfLife,   ///< the remote's commit marks it end of life
    Unreachable, ///< its remote could not be asked
    TimedOut,    ///< its remote did not answer in time
    Unknown,     ///< its remote answered without it
};

Standing StandingOf(const FlatpakState& state, const InstalledApp& copy);

/// The answer of `copy`'s remote about `copy`; none when there is none.
const RemoteRef* OfferFor(const FlatpakState& state, const InstalledApp& copy);

/// The rows: one per installed copy of an application, then a "Flatpak
/// runtimes" row when runtimes have updates (in no order: FinishedRows orders
/// the rows of every source), and a note line for each remote that could not
/// be asked or refreshed.
struct Listing
{
    QList<updater::TableApp> rows;
    QStringList notes;
};
Listing ListingOf(const FlatpakState& state);

} // namespace packagesbridge
