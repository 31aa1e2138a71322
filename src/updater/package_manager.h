#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

namespace updater {

// Running the package manager: the command lines it is given, the read loop
// that collects its output and answers its one question, and the clean-up of
// a line for the live log.

/// The line after which the package manager reads one answer line.
inline const QString AgreementQuestion = QStringLiteral("Do you agree to all the source agreements terms?");
/// What is written back to it.
inline const QString AgreementAnswer = QStringLiteral("y\r\n");
/// The options every upgrade passes, as the command text shows them (with
/// the leading blank) and as separate arguments.
inline const QString UpgradeOptionsText =
    QStringLiteral(" --accept-package-agreements --accept-source-agreements --include-unknown");
inline const QStringList UpgradeOptions = {QStringLiteral("--accept-package-agreements"),
                                           QStringLiteral("--accept-source-agreements"),
                                           QStringLiteral("--include-unknown")};

/// How long a list check waits for a package manager that prints nothing
/// before it ends the tool and counts the check as failed.
constexpr int64_t ListSilenceLimitMs = 120000;

/// One run of the package manager: the argument vector that is run (the
/// tool's path first) and the command text that stands for it in the
/// program's own terms, for display and comparison only.
struct PackageCommand
{
    QStringList arguments;
    QString text;
};

/// `tool` list. Pure.
PackageCommand ListCommand(const QString& tool);

/// `tool` upgrade by identifier when `name` ends with the shortened-name mark
/// (the table cut it, so it would not match), else by name, with the upgrade
/// options. Names and identifiers come from the tool's own table and are
/// passed as single arguments, never through a shell. Pure.
PackageCommand UpgradeCommand(const QString& tool, const QString& name, const QString& identifier);

/// Whether an upgrade worked: its raw output says "Successfully installed"
/// (case-sensitive, anywhere) and the tool exited with status 0; the words
/// from a tool that then failed are not enough. Pure.
bool UpgradeSucceeded(const QString& output, int exitStatus);

/// The last line of a run of several upgrades: how many worked and how many
/// failed, with the names of those that failed, e.g. "3 updated, 1 failed:
/// Masked App". Pure.
QString UpgradeSummaryText(qsizetype updated, const QStringList& failed);

/// One captured line made readable for the live log: blank runs collapsed,
/// the spinner and progress-bar fragments " /", " |", " -", " \" removed, the
/// cancel code 0x800704c7, "Successfully installed" (shown with "!") and
/// "You cancel" put on lines of their own, blanks trimmed. Pure.
QString CleanLogLine(const QString& line);

/// The longest a pass of the read loop waits for the tool before the pass
/// handler runs again, so the windows go on painting while it is silent.
constexpr int64_t PassIntervalMs = 50;

/// How many of the tool's last standard-error lines a run keeps apart.
constexpr qsizetype LastErrorLines = 5;

/// Called on every pass of the read loop, at least every PassIntervalMs,
/// with the lines of standard output and of standard error the pass took
/// (either or both may be empty). GUI thread.
using PassHandler = std::function<void(const QStringList& lines, const QStringList& errors)>;

/// What a run of the package manager came to.
struct PackageRun
{
    /// Every line it printed, standard output and error interleaved as they
    /// came (a pass's output lines before its error lines), joined by CR LF,
    /// leading and trailing CR LF removed. Empty when it could not be started
    /// or was ended for its silence.
    QString output;
    /// Its exit status (0-255); -1 when it did not start, was ended, or a
    /// signal ended it.
    int exitStatus = -1;
    /// Its last LastErrorLines non-empty standard-error lines, oldest first:
    /// why a failed run failed.
    QStringList lastErrors;
};

/// Runs the package manager from `arguments` (no shell) with all three
/// streams redirected and collects its output a whole line at a time, both
/// streams read as they come (lines longer than runtime::ProcessLineLimit
/// come in pieces), answering AgreementQuestion when it stands alone on a
/// line, until the tool has ended and what it left is read. With
/// `silenceLimitMs` > 0, a tool that prints no line for that long is ended
/// (runtime::ProcessEnd) and the output is empty. Runs on the calling thread
/// (the GUI thread); with no handler it only waits while the tool is silent.
PackageRun RunPackageManager(const QStringList& arguments, const PassHandler& onPass, int64_t silenceLimitMs);

/// Whether a list run failed to give a table: it printed nothing, or it
/// exited with a status other than 0 without printing the separator line
/// (an error text is no table, even read at the table's columns). Pure.
bool ListRunFailed(const PackageRun& run);

/// Where the system bus looks for the services it can start.
inline const QStringList SystemBusServiceFolders = {QStringLiteral("/usr/share/dbus-1/system-services/"),
                                                    QStringLiteral("/usr/local/share/dbus-1/system-services/")};

/// Whether PackageKit's service is among those the system bus can start: a
/// file in one of `serviceFolders`, so no bus is asked.
bool PackageKitInstalled(const QStringList& serviceFolders = SystemBusServiceFolders);

/// Whether the updater can work with the tool at `path`: an executable file,
/// and for the program's own bridge (`isBridge`), one of its sources there:
/// `flatpak` found on PATH, or PackageKitInstalled(`serviceFolders`).
bool PackageManagerUsable(const QString& path, bool isBridge,
                          const QStringList& serviceFolders = SystemBusServiceFolders);

} // namespace updater
