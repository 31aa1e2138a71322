#include "remote_queries.h"

#include "child_process.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

#include <optional>
#include <thread>
#include <vector>

namespace packagesbridge {

namespace {

/// AppStream data is fetched again after this long even when the remote
/// seems unchanged, in case its AppStream branch was published late.
constexpr qint64 VersionsFreshSeconds = 30 * 60;

/// The file that says what the remote `key` offered when the bridge last
/// refreshed its AppStream data.
QString VersionsStampPath(const RemoteKey& key)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (folder.isEmpty())
        return QString();
    // Remote and installation names become one file name, whatever they hold.
    const auto part = [](const QString& name) {
        return QString::fromLatin1(QUrl::toPercentEncoding(name, QByteArray(), QByteArrayLiteral("/.")));
    };
    return folder + QStringLiteral("/zorvane-packages/appstream-") + part(key.installation) + u'-' + part(key.remote);
}

/// What a remote offers, in a few bytes: it changes when any commit does.
QByteArray OfferDigest(const QByteArray& listing)
{
    return QCryptographicHash::hash(listing, QCryptographicHash::Sha256).toHex();
}

/// Whether the versions refreshed last still go with what the remote offers
/// now (`digest`) and are recent enough.
bool VersionsFresh(const QString& stamp, const QByteArray& digest)
{
    QFile file(stamp);
    if (stamp.isEmpty() || !file.open(QIODevice::ReadOnly))
        return false;
    const qint64 age = QFileInfo(file).lastModified().secsTo(QDateTime::currentDateTime());
    return age >= 0 && age < VersionsFreshSeconds && file.read(256) == digest;
}

void MarkVersionsFresh(const QString& stamp, const QByteArray& digest)
{
    if (stamp.isEmpty() || !QDir().mkpath(QFileInfo(stamp).path()))
        return;
    QFile file(stamp);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(digest);
}

RemoteAnswer AskRemote(const RemoteKey& key, const QString& stamp, bool refreshVersions)
{
    QElapsedTimer clock;
    clock.start();
    const auto elapsed = [&clock] { return int64_t{clock.elapsed()}; };
    RemoteAnswer answer;
    answer.installation = key.installation;
    answer.remote = key.remote;
    // "--" ends the options: a remote's name is data.
    const auto listRefs = [&](int64_t limitMs) {
        return RunCaptured({QStringLiteral("flatpak"), QStringLiteral("remote-ls"),
                            InstallationOption(key.installation), QStringLiteral("--all"),
                            QStringLiteral("--columns=") + RemoteRefsColumns(), QStringLiteral("--"), key.remote},
                           limitMs);
    };
    const auto failed = [&](const RunResult& run) {
        const bool timedOut = run.started && run.exitStatus < 0 && elapsed() >= RemoteLimitMs;
        answer.outcome = timedOut ? RemoteAnswer::Outcome::TimedOut : RemoteAnswer::Outcome::Unreachable;
        return answer;
    };

    Captured listed = listRefs(RemoteLimitMs);
    if (listed.run.exitStatus != 0)
        return failed(listed.run);
    // remote-ls takes versions from the AppStream data, which only an
    // explicit refresh fetches. It is the slow part of asking a remote, so it
    // is fetched only when what the remote offers changed since last time.
    const QByteArray digest = OfferDigest(listed.output);
    if (refreshVersions && !VersionsFresh(stamp, digest)) {
        const std::optional<int64_t> refreshMs = NextChildLimitMs(RemoteLimitMs, elapsed);
        const Captured refreshed =
            refreshMs ? RunCaptured({QStringLiteral("flatpak"), QStringLiteral("update"), QStringLiteral("--appstream"),
                                     InstallationOption(key.installation), QStringLiteral("--"), key.remote},
                                    *refreshMs)
                      : Captured{};
        const std::optional<int64_t> againMs = NextChildLimitMs(RemoteLimitMs, elapsed);
        Captured again;
        if (refreshed.run.exitStatus == 0 && againMs)
            again = listRefs(*againMs);
        if (again.run.exitStatus == 0) {
            MarkVersionsFresh(stamp, digest);
            listed = again;
        } else {
            answer.versionsStale = true;
        }
    }
    answer.outcome = RemoteAnswer::Outcome::Answered;
    answer.refs = ParseRemoteRefs(QString::fromUtf8(listed.output));
    return answer;
}

} // namespace

QList<RemoteKey> RemotesOf(const QList<InstalledApp>& copies)
{
    QList<RemoteKey> remotes;
    for (const InstalledApp& copy : copies) {
        const RemoteKey key{copy.installation, copy.origin};
        if (!copy.origin.isEmpty() && !remotes.contains(key))
            remotes << key;
    }
    return remotes;
}

QList<RemoteAnswer> AskRemotes(const QList<RemoteKey>& remotes, bool refreshVersions)
{
    std::vector<RemoteAnswer> answers(size_t(remotes.size()));
    QStringList stamps;
    for (const RemoteKey& key : remotes)
        stamps << VersionsStampPath(key);
    // Each remote in a thread of its own, which only waits on its flatpak:
    // the slowest remote, not the sum of them, sets how long a check takes.
    std::vector<std::thread> threads;
    threads.reserve(size_t(remotes.size()));
    for (qsizetype i = 0; i < remotes.size(); ++i) {
        threads.emplace_back([&, i] { answers[size_t(i)] = AskRemote(remotes.at(i), stamps.at(i), refreshVersions); });
    }
    for (std::thread& thread : threads)
        thread.join();
    return QList<RemoteAnswer>(answers.begin(), answers.end());
}

} // namespace packagesbridge
