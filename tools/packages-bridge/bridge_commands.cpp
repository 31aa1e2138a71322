#include "bridge_commands.h"

#include "child_process.h"
#include "flatpak_apps.h"
#include "runtime/process.h"
#include "updater/apps_table_writer.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>

namespace packagesbridge {

namespace {

const QString Flatpak = QStringLiteral("flatpak");

// Listing reads local files only. Refreshing the remotes' data and asking
// them for updates goes over the network, so it is bounded, and the two
// limits together stay under the two minutes the program waits for a tool
// that prints nothing.
constexpr int64_t ListLimitMs = 20000;
constexpr int64_t UpdatesLimitMs = 90000;

void Print(FILE* stream, const QString& line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

void PrintError(const QString& line)
{
    Print(stderr, QStringLiteral("zorvane-packages: ") + line);
}

/// Hands a child's output on, each stream to the bridge's own, a whole line
/// at a time, read the way the program reads a line (carriage returns
/// dropped, other control characters made blanks) and then with the words of
/// success defused: only the bridge decides that, and a remote's message must
/// not say it for it, however it spells the blank between them.
class LinePassage
{
public:
    void Take(Stream stream, QByteArrayView bytes)
    {
        QByteArray& pending = Pending(stream);
        pending.append(bytes);
        qsizetype end;
        while ((end = pending.indexOf('\n')) >= 0) {
            Write(stream, QByteArrayView(pending).first(end));
            pending.remove(0, end + 1);
        }
        // A line that never ends must not grow without bound; it goes on as
        // lines of its own.
        if (pending.size() > 1024 * 1024) {
            Write(stream, pending);
            pending.clear();
        }
    }

    /// Writes what is left of unfinished lines, each as a line.
    void Finish()
    {
        for (const Stream stream : {Stream::Output, Stream::Error}) {
            QByteArray& pending = Pending(stream);
            if (!pending.isEmpty())
                Write(stream, pending);
            pending.clear();
        }
    }

private:
    QByteArray& Pending(Stream stream) { return stream == Stream::Output ? output_ : error_; }

    static void Write(Stream stream, QByteArrayView line)
    {
        const QByteArray bytes = Defused(runtime::ToolLineText(line)).toUtf8() + '\n';
        FILE* target = stream == Stream::Output ? stdout : stderr;
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), target);
        std::fflush(target);
    }

    QByteArray output_;
    QByteArray error_;
};

/// Why the bridge ended before it was done.
const QString StoppedProblem = QStringLiteral("it was asked to stop before flatpak was done");

/// The installed applications; none, with flatpak's error passed on and
/// `problem` set, when it cannot list them.
std::optional<QList<InstalledApp>> ListInstalled(QString* problem)
{
    const Captured listed = RunCaptured(
        {Flatpak, QStringLiteral("list"), QStringLiteral("--app"), QStringLiteral("--columns=") + ListColumns()},
        ListLimitMs);
    if (StopRequested()) {
        *problem = StoppedProblem;
        return std::nullopt;
    }
    if (!listed.run.started) {
        *problem = QStringLiteral("flatpak could not be started");
        return std::nullopt;
    }
    if (listed.run.exitStatus != 0) {
        std::fwrite(listed.error.constData(), 1, size_t(listed.error.size()), stderr);
        std::fflush(stderr);
        *problem = QStringLiteral("flatpak could not list the installed applications");
        return std::nullopt;
    }
    return ParseInstalledApps(QString::fromUtf8(listed.output));
}

/// Fills in the newer versions the remotes offer. Notes on stdout, before
/// the table where a reader of the table does not look, what could not be
/// asked.
void AddAvailableVersions(const QList<InstalledApp>& apps, QList<updater::TableApp>& rows)
{
    QElapsedTimer clock;
    clock.start();
    const auto elapsed = [&clock] { return int64_t{clock.elapsed()}; };

    // remote-ls takes versions from the cached AppStream data, which only
    // this refreshes: without it they would be missing or stale. It comes
    // first, so the whole budget is still there for it.
    const Captured refreshed =
        RunCaptured({Flatpak, QStringLiteral("update"), QStringLiteral("--appstream")}, UpdatesLimitMs);
    if (refreshed.run.exitStatus != 0)
        Print(stdout, QStringLiteral("Note: the remotes' data could not all be refreshed; available versions may be "
                                     "missing or out of date."));

    QStringList installations;
    for (const InstalledApp& app : apps) {
        if (!installations.contains(app.installation))
            installations << app.installation;
    }
    // One installation at a time, so that each update is told apart from the
    // same application's in another installation.
    for (const QString& installation : installations) {
        const std::optional<int64_t> limitMs = NextChildLimitMs(UpdatesLimitMs, elapsed);
        if (!limitMs) {
            Print(stdout, QStringLiteral("Note: asking the remotes took too long; available versions are missing."));
            return;
        }
        const Captured updates =
            RunCaptured({Flatpak, QStringLiteral("remote-ls"), QStringLiteral("--updates"), QStringLiteral("--app"),
                         InstallationOption(installation), QStringLiteral("--columns=") + UpdatesColumns()},
                        *limitMs);
        if (updates.run.exitStatus != 0) {
            Print(stdout, QStringLiteral("Note: the remotes of the %1 installation could not be asked for updates.")
                              .arg(Defused(installation)));
            continue;
        }
        const QHash<QString, QString> offered = ParseUpdates(QString::fromUtf8(updates.output));
        for (qsizetype i = 0; i < apps.size(); ++i) {
            if (apps[i].installation != installation)
                continue;
            const QString version = offered.value(apps[i].ref);
            if (version != apps[i].version)
                rows[i].available = version;
        }
    }
}

/// The copy of `app` in `apps` (same installation and reference); none when
/// it is gone.
const InstalledApp* SameCopy(const QList<InstalledApp>& apps, const InstalledApp& app)
{
    for (const InstalledApp& other : apps) {
        if (other.installation == app.installation && other.ref == app.ref)
            return &other;
    }
    return nullptr;
}

/// Ends a failed upgrade with one line that says so and why, on standard
/// output, where the program's log is sure to take it.
int UpgradeFailed(const QString& reason)
{
    Print(stdout, QStringLiteral("The update failed: ") + reason + u'.');
    return 1;
}

} // namespace

std::optional<int64_t> NextChildLimitMs(int64_t limitMs, const std::function<int64_t()>& elapsedMs)
{
    // One reading: a second one could fall past the limit after the test and
    // hand the child no limit at all.
    const int64_t left = limitMs - elapsedMs();
    if (left <= 0)
        return std::nullopt;
    return left;
}

int ListApps()
{
    QString problem;
    const std::optional<QList<InstalledApp>> apps = ListInstalled(&problem);
    if (!apps) {
        PrintError(problem);
        return 1;
    }
    QList<updater::TableApp> rows;
    for (const InstalledApp& app : *apps)
        rows.append({app.name, app.identifier, app.version, QString(), app.installation});
    if (!apps->isEmpty())
        AddAvailableVersions(*apps, rows);
    if (StopRequested()) {
        PrintError(StoppedProblem);
        return 1;
    }
    std::stable_sort(rows.begin(), rows.end(), [](const updater::TableApp& a, const updater::TableApp& b) {
        const int byName = a.name.compare(b.name, Qt::CaseInsensitive);
        return byName != 0 ? byName < 0 : a.identifier < b.identifier;
    });
    const QByteArray table = updater::WriteAppsTable(rows).toUtf8();
    std::fwrite(table.constData(), 1, size_t(table.size()), stdout);
    std::fflush(stdout);
    return 0;
}

int UpgradeApp(const Command& command)
{
    QString problem;
    const std::optional<QList<InstalledApp>> before = ListInstalled(&problem);
    if (!before)
        return UpgradeFailed(problem);
    const Targets targets = command.kind == Command::Kind::UpgradeById ? FindByIdentifier(*before, command.target)
                                                                       : FindByName(*before, command.target);
    if (targets.apps.isEmpty())
        return UpgradeFailed(targets.problem);

    QStringList failedRuns;
    for (const InstalledApp& app : targets.apps) {
        LinePassage passage;
        // "--" ends the options: the reference is data, whatever it begins with.
        const RunResult run =
            RunChild({Flatpak, QStringLiteral("update"), InstallationOption(app.installation),
                      QStringLiteral("--noninteractive"), QStringLiteral("--"), app.ref},
                     0, [&passage](Stream stream, QByteArrayView bytes) { passage.Take(stream, bytes); });
        passage.Finish();
        if (StopRequested())
            return UpgradeFailed(StoppedProblem);
        if (!run.started)
            return UpgradeFailed(QStringLiteral("flatpak could not be started"));
        // Flatpak may report that it completed even when a pull failed; only
        // its exit status tells.
        if (run.exitStatus != 0) {
            failedRuns << QStringLiteral("flatpak could not update %1 (exit status %2)")
                              .arg(Defused(app.ref), QString::number(run.exitStatus));
        }
    }

    const std::optional<QList<InstalledApp>> after = ListInstalled(&problem);
    if (!failedRuns.isEmpty())
        return UpgradeFailed(failedRuns.join(QStringLiteral("; ")));
    if (!after)
        return UpgradeFailed(problem);
    const InstalledApp* changed = nullptr;
    for (const InstalledApp& app : targets.apps) {
        const InstalledApp* now = SameCopy(*after, app);
        if (now == nullptr)
            continue;
        // An application that ships no version changed when its commit did.
        if (now->version != app.version || (app.version.isEmpty() && now->commit != app.commit))
            changed = now;
    }
    if (changed == nullptr) {
        // "Nothing to do", or a remote that could not be reached, which
        // flatpak only warns about.
        const InstalledApp& app = targets.apps.front();
        return UpgradeFailed(QStringLiteral("%1 is still at version %2").arg(app.identifier, Defused(app.version)));
    }
    Print(stdout, QStringLiteral("Successfully installed ") + changed->identifier +
                      (changed->version.isEmpty() ? QString() : u' ' + Defused(changed->version)));
    return 0;
}

} // namespace packagesbridge
