#pragma once

#include "flatpak_table.h"

#include <QList>
#include <QString>

#include <cstdint>

namespace packagesbridge {

// Asking flatpak's remotes what they offer, each remote on its own: one that
// is dead or never answers costs only its own applications.

/// One remote of one installation.
struct RemoteKey
{
    QString installation;
    QString remote;
    bool operator==(const RemoteKey&) const = default;
};

/// The remotes `copies` are updated from, each once.
QList<RemoteKey> RemotesOf(const QList<InstalledApp>& copies);

/// How long one remote may take, its data refreshed and asked: a remote
/// that connects and then says nothing is given up on in this time, while a
/// slow one still answers.
constexpr int64_t RemoteLimitMs = 12000;

/// Asks every remote of `remotes` at once, each within RemoteLimitMs, and
/// returns their answers in the same order. With `refreshVersions`, a
/// remote's AppStream data (where versions come from) is refreshed when what
/// the remote offers changed since the bridge last refreshed it, or that was
/// long ago.
QList<RemoteAnswer> AskRemotes(const QList<RemoteKey>& remotes, bool refreshVersions);

} // namespace packagesbridge
