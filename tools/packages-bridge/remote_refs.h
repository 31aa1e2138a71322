#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace packagesbridge {

// What a remote offers and what an installation holds back, read from
// flatpak's tab-separated output. Everything here is pure.

/// One reference as a remote offers it.
struct RemoteRef
{
    QString commit;          ///< as flatpak abbreviates it
    QString version;         ///< from the remote's AppStream data; empty when it has none
    QString endOfLife;       ///< why it is no longer maintained; empty while it is
    QString endOfLifeRebase; ///< the reference that replaces it, when one does
};

/// The `--columns` value for `flatpak remote-ls`, in the order
/// ParseRemoteRefs reads them.
QString RemoteRefsColumns();

/// Reference ("app/ID/ARCH/BRANCH", "runtime/...") to what the remote offers,
/// from the output of `flatpak remote-ls --all --columns=RemoteRefsColumns()`.
QHash<QString, RemoteRef> ParseRemoteRefs(const QString& output);

/// Whether `installed` and `offered`, two commits each possibly abbreviated,
/// name the same commit.
bool SameCommit(const QString& installed, const QString& offered);

/// The patterns of the output of `flatpak mask`, one per line.
QStringList ParseMasks(const QString& output);

/// Whether a mask pattern (ID[/ARCH[/BRANCH]], each part a wildcard pattern,
/// an empty part for any) holds back `ref` ("KIND/ID/ARCH/BRANCH").
bool IsMasked(const QStringList& patterns, const QString& ref);

} // namespace packagesbridge
