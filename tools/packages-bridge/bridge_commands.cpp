#include "bridge_commands.h"

#include "app_permissions.h"
#include "child_process.h"
#include "flatpak_apps.h"
#include "flatpak_table.h"
#include "flatpak_update.h"
#include "package_sources.h"
#include "packagekit_source.h"
#include "remote_queries.h"
#include "table_rows.h"
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

// Listing reads local files only; asking the remotes goes over the network
// and has limits of its own (remote_queries.h). Together they stay well under
// the two minutes the program waits for a tool that prints nothing.
constexpr int64_t ListLimitMs = 20000;

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

/// The installed copies of `kind`; none, with flatpak's error passed on and
/// `problem` set, when it cannot list them.
std::optional<QList<InstalledApp>> ListInstalled(RefKind kind, QString* problem)
{
    const Captured listed = RunCaptured({Flatpak, QStringLiteral("list"),
                                         kind == RefKind::App ? QStringLiteral("--app") : QStringLiteral("--runtime"),
                                         QStringLiteral("--columns=") + ListColumns()},
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
        *problem = kind == RefKind::App ? QStringLiteral("flatpak could not list the installed applications")
                                        : QStringLiteral("flatpak could not list the installed runtimes");
        return std::nullopt;
    }
    return ParseInstalledApps(QString::fromUtf8(listed.output), kind);
}

/// What is installed and held back, without asking any remote; none, with
/// `problem` set, when flatpak cannot say.
std::optional<FlatpakState> ReadInstallations(QString* problem)
{
    FlatpakState state;
    const std::optional<QList<InstalledApp>> apps = ListInstalled(RefKind::App, problem);
    if (!apps)
        return std::nullopt;
    const std::optional<QList<InstalledApp>> runtimes = ListInstalled(RefKind::Runtime, problem);
    if (!runtimes)
        return std::nullopt;
    state.apps = *apps;
    state.runtimes = *runtimes;
    for (const InstalledApp& copy : state.apps + state.runtimes) {
        if (state.masks.contains(copy.installation))
            continue;
        // A flatpak too old to mask anything masks nothing.
        const Captured masks =
            RunCaptured({Flatpak, QStringLiteral("mask"), InstallationOption(copy.installation)}, ListLimitMs);
        state.masks.insert(copy.installation,
                           masks.run.exitStatus == 0 ? ParseMasks(QString::fromUtf8(masks.output)) : QStringList());
    }
    return state;
}

/// Whether no copy in `copies` (all of one application, or runtimes) is left
/// with an update, by what their remotes answer in `state`; none when a
/// remote could not say.
std::optional<bool> AllCurrent(const FlatpakState& state, const QList<InstalledApp>& copies)
{
    for (const InstalledApp& copy : copies) {
        if (IsMasked(state.masks.value(copy.installation), copy.ref))
            continue;
        const Standing standing = StandingOf(state, copy);
        if (standing == Standing::Unreachable || standing == Standing::TimedOut)
            return std::nullopt;
        // A remote that no longer offers it has nothing newer to give.
        const RemoteRef* offer = OfferFor(state, copy);
        if (offer != nullptr && !SameCommit(copy.commit, offer->commit))
            return false;
    }
    return true;
}

/// Prints a line of an update's progress, made unable to pass for the words
/// of success.
void SayDefused(const QString& line)
{
    Print(stdout, Defused(line));
}

/// Ends a failed upgrade with one line that says so and why, on standard
/// output, where the program's log is sure to take it.
int UpgradeFailed(const QString& reason)
{
    Print(stdout, QStringLiteral("The update failed: ") + reason + u'.');
    return 1;
}

/// Runs one flatpak command of an upgrade with its lines passed on; the
/// reason it failed, or empty when it exited 0.
QString RunUpgradeStep(const QStringList& arguments, const QString& what)
{
    LinePassage passage;
    const RunResult run =
        RunChild(arguments, 0, [&passage](Stream stream, QByteArrayView bytes) { passage.Take(stream, bytes); });
    passage.Finish();
    if (StopRequested())
        return StoppedProblem;
    if (!run.started)
        return QStringLiteral("flatpak could not be started");
    // Flatpak may report that it completed even when a pull failed; only its
    // exit status tells.
    if (run.exitStatus != 0)
        return QStringLiteral("flatpak could not %1 (exit status %2)").arg(what, QString::number(run.exitStatus));
    return QString();
}

/// The copies of `copies` that are `identifier`'s.
QList<InstalledApp> CopiesOf(const QList<InstalledApp>& copies, const QString& identifier)
{
    QList<InstalledApp> found;
    for (const InstalledApp& copy : copies) {
        if (copy.identifier == identifier)
            found << copy;
    }
    return found;
}

/// Updates every runtime with an update, in each installation, then removes
/// the runtimes no application needs any more.
int UpgradeRuntimes(FlatpakState state)
{
    state.answers = AskRemotes(RemotesOf(state.runtimes), false);
    if (StopRequested())
        return UpgradeFailed(StoppedProblem);
    QStringList installations;
    QHash<QString, QStringList> refs;
    for (const InstalledApp& runtime : state.runtimes) {
        const Standing standing = StandingOf(state, runtime);
        if (standing != Standing::Update && standing != Standing::EndOfLife)
            continue;
        if (!installations.contains(runtime.installation))
            installations << runtime.installation;
        refs[runtime.installation] << runtime.ref;
    }
    for (const QString& installation : installations) {
        Print(stdout, QStringLiteral("Updating the runtimes of the %1 installation: %2")
                          .arg(Defused(installation), Defused(refs.value(installation).join(QStringLiteral(", ")))));
        const QString failed = UpdateRefs(installation, refs.value(installation), SayDefused);
        if (!failed.isEmpty())
            return UpgradeFailed(Defused(failed));
    }
    for (const QString& installation : installations) {
        Print(stdout, QStringLiteral("Removing the runtimes no application of the %1 installation uses any more")
                          .arg(Defused(installation)));
        const QString failed = RunUpgradeStep({Flatpak, QStringLiteral("uninstall"), InstallationOption(installation),
                                               QStringLiteral("--unused"), QStringLiteral("--noninteractive")},
                                              QStringLiteral("remove the unused runtimes"));
        if (!failed.isEmpty())
            return UpgradeFailed(failed);
    }

    QString problem;
    std::optional<FlatpakState> after = ReadInstallations(&problem);
    if (!after)
        return UpgradeFailed(problem);
    after->answers = AskRemotes(RemotesOf(after->runtimes), false);
    const std::optional<bool> current = AllCurrent(*after, after->runtimes);
    if (!current)
        return UpgradeFailed(QStringLiteral("a remote could not be asked whether the runtimes are now current"));
    if (!*current)
        return UpgradeFailed(QStringLiteral("some runtimes still have updates"));
    Print(stdout, QStringLiteral("Successfully installed ") + RuntimesIdentifier);
    return 0;
}

/// The identifier of the application that replaces the end-of-life copies
/// among `copies`; empty when none is replaced.
QString ReplacementOf(const FlatpakState& state, const QList<InstalledApp>& copies)
{
    for (const InstalledApp& copy : copies) {
        const RemoteRef* offer = OfferFor(state, copy);
        if (offer != nullptr && !offer->endOfLifeRebase.isEmpty())
            return offer->endOfLifeRebase.section(u'/', 1, 1);
    }
    return QString();
}

/// Lists, before `copy` is updated, what the offered build may do that the
/// installed one may not: flatpak grants it without a word when it cannot
/// ask, and the user should read it in the log. Says nothing when either
/// build's metadata cannot be read.
void AnnounceNewPermissions(const InstalledApp& copy)
{
    const Captured installed = RunCaptured({Flatpak, QStringLiteral("info"), QStringLiteral("--show-metadata"),
                                            InstallationOption(copy.installation), QStringLiteral("--"), copy.ref},
                                           ListLimitMs);
    if (installed.run.exitStatus != 0)
        return;
    const Captured offered =
        RunCaptured({Flatpak, QStringLiteral("remote-info"), QStringLiteral("--show-metadata"),
                     InstallationOption(copy.installation), QStringLiteral("--"), copy.origin, copy.ref},
                    RemoteLimitMs);
    if (offered.run.exitStatus != 0)
        return;
    const QStringList added = NewPermissions(QString::fromUtf8(installed.output), QString::fromUtf8(offered.output));
    if (added.isEmpty())
        return;
    Print(stdout, QStringLiteral("The update gives %1 in the %2 installation new permissions:")
                      .arg(copy.identifier, Defused(copy.installation)));
    for (const QString& line : added)
        Print(stdout, QStringLiteral("- ") + Defused(line));
}

/// Says what the remote says of `copy` before it is updated: held back, at
/// its end of life (and what replaces it). False when it is held back.
bool AnnounceStanding(const FlatpakState& state, const InstalledApp& copy)
{
    const QString where = QStringLiteral(" in the %1 installation").arg(Defused(copy.installation));
    switch (StandingOf(state, copy)) {
    case Standing::Masked:
        Print(stdout, copy.identifier + where + QStringLiteral(" is masked: flatpak does not update it."));
        return false;
    case Standing::EndOfLife: {
        const RemoteRef* offer = OfferFor(state, copy);
        Print(stdout,
              copy.identifier + where + QStringLiteral(" has reached its end of life: ") + Defused(offer->endOfLife));
        if (!offer->endOfLifeRebase.isEmpty())
            Print(stdout, QStringLiteral("Its replacement is ") + Defused(offer->endOfLifeRebase.section(u'/', 1, 1)));
        return true;
    }
    default:
        return true;
    }
}

} // namespace

int ListApps()
{
    QList<updater::TableApp> rows;
    QStringList notes;
    int sources = 0;
    QStringList problems;
    if (UseFlatpak()) {
        ++sources;
        QString problem;
        std::optional<FlatpakState> state = ReadInstallations(&problem);
        if (state) {
            state->answers = AskRemotes(RemotesOf(state->apps + state->runtimes), true);
            Listing listing = ListingOf(*state);
            rows += listing.rows;
            notes += listing.notes;
        } else {
            problems << problem;
        }
    }
    if (StopRequested()) {
        PrintError(StoppedProblem);
        return 1;
    }
    if (UsePackageKit()) {
        ++sources;
        const PackageKitRows listed = ListPackageKitApps();
        rows += listed.rows;
        if (!listed.problem.isEmpty())
            problems << listed.problem;
    }
    if (sources == 0) {
        PrintError(QStringLiteral("neither flatpak nor PackageKit can be used"));
        return 1;
    }
    // A source that fails costs its own rows; only when every one fails is
    // there no table.
    if (problems.size() == sources) {
        PrintError(problems.join(QStringLiteral("; ")));
        return 1;
    }
    for (const QString& problem : problems)
        notes << problem + u'.';
    const QByteArray table = updater::WriteAppsTable(FinishedRows(rows), updater::ClosingLine::Counted, notes).toUtf8();
    std::fwrite(table.constData(), 1, size_t(table.size()), stdout);
    std::fflush(stdout);
    return 0;
}

namespace {

/// The upgrade of `command`'s target through PackageKit, with its last line
/// printed; none when PackageKit is not used or knows no such package.
std::optional<int> UpgradeThroughPackageKit(const Command& command)
{
    if (!UsePackageKit())
        return std::nullopt;
    const PackageKitUpgrade upgrade =
        UpgradeWithPackageKit(command.target, command.kind == Command::Kind::UpgradeById, SayDefused);
    switch (upgrade.outcome) {
    case PackageKitUpgrade::Outcome::NotFound:
        return std::nullopt;
    case PackageKitUpgrade::Outcome::Failed:
        return UpgradeFailed(Defused(upgrade.problem));
    case PackageKitUpgrade::Outcome::Succeeded:
        break;
    }
    Print(stdout, QStringLiteral("Successfully installed ") + Defused(upgrade.installed));
    return 0;
}

} // namespace

int UpgradeApp(const Command& command)
{
    const bool byIdentifier = command.kind == Command::Kind::UpgradeById;
    if (byIdentifier && command.target == SystemPackagesIdentifier) {
        if (const std::optional<int> status = UpgradeThroughPackageKit(command))
            return *status;
        return UpgradeFailed(QStringLiteral("PackageKit is not available"));
    }
    QString problem;
    // Without flatpak there is nothing of it to find, and the failure says
    // that no installed application answers to the target.
    std::optional<FlatpakState> before = UseFlatpak() ? ReadInstallations(&problem) : FlatpakState{};
    if (before && byIdentifier && command.target == RuntimesIdentifier)
        return UpgradeRuntimes(*before);
    const Targets targets = !before        ? Targets{{}, problem}
                            : byIdentifier ? FindByIdentifier(before->apps, command.target)
                                           : FindByName(before->apps, command.target);
    if (targets.apps.isEmpty()) {
        // Not a flatpak application: perhaps a package of the distribution.
        if (const std::optional<int> status = UpgradeThroughPackageKit(command))
            return *status;
        return UpgradeFailed(targets.problem);
    }
    const QString identifier = targets.apps.front().identifier;

    before->answers = AskRemotes(RemotesOf(targets.apps), false);
    if (StopRequested())
        return UpgradeFailed(StoppedProblem);
    QList<InstalledApp> toUpdate;
    for (const InstalledApp& copy : targets.apps) {
        if (!AnnounceStanding(*before, copy))
            continue;
        const Standing standing = StandingOf(*before, copy);
        if (standing == Standing::Update || standing == Standing::EndOfLife)
            AnnounceNewPermissions(copy);
        toUpdate << copy;
    }
    if (toUpdate.isEmpty())
        return UpgradeFailed(identifier + QStringLiteral(" is masked (flatpak mask --remove lifts it)"));

    QStringList failedRuns;
    for (const InstalledApp& copy : toUpdate) {
        const QString failed = UpdateRefs(copy.installation, {copy.ref}, SayDefused);
        if (failed == StoppedProblem)
            return UpgradeFailed(failed);
        if (!failed.isEmpty())
            failedRuns << Defused(failed);
    }
    if (!failedRuns.isEmpty())
        return UpgradeFailed(failedRuns.join(QStringLiteral("; ")));

    std::optional<FlatpakState> after = ReadInstallations(&problem);
    if (!after)
        return UpgradeFailed(problem);
    QString installedIdentifier = identifier;
    QList<InstalledApp> copies = CopiesOf(after->apps, identifier);
    // An end-of-life application with a replacement is replaced by it: the
    // upgrade went well when the replacement is there and current.
    const QString replacement = ReplacementOf(*before, toUpdate);
    if (copies.isEmpty() && !replacement.isEmpty()) {
        installedIdentifier = replacement;
        copies = CopiesOf(after->apps, replacement);
        Print(stdout, QStringLiteral("%1 was replaced by %2").arg(identifier, replacement));
    }
    after->answers = AskRemotes(RemotesOf(copies), false);
    // Updated means nothing newer is left for any copy, whoever updated it:
    // this run, an earlier one through another installation, or a software
    // centre in the meantime.
    const std::optional<bool> current = AllCurrent(*after, copies);
    if (!current)
        return UpgradeFailed(QStringLiteral("a remote could not be asked whether %1 is now current").arg(identifier));
    if (!*current || copies.isEmpty()) {
        const InstalledApp& copy = copies.isEmpty() ? toUpdate.front() : copies.front();
        return UpgradeFailed(QStringLiteral("%1 still has an update it did not take (at version %2)")
                                 .arg(identifier, Defused(copy.version)));
    }
    const QString version = copies.front().version;
    Print(stdout, QStringLiteral("Successfully installed ") + installedIdentifier +
                      (version.isEmpty() ? QString() : u' ' + Defused(version)));
    return 0;
}

} // namespace packagesbridge
