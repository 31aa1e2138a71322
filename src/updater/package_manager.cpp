#include "updater/package_manager.h"

#include "runtime/clock.h"
#include "runtime/process.h"
#include "runtime/text_positions.h"
#include "updater/apps_table_layout.h"

#include <QFileInfo>
#include <QStandardPaths>

#include <optional>

namespace updater {

namespace {

const QString LineEnd = QStringLiteral("\r\n");

/// Every line of `stream` the record holds.
QStringList TakeLines(runtime::Process* process, runtime::ProcessStream stream)
{
    QStringList lines;
    while (std::optional<QString> line = runtime::ProcessTakeLine(process, stream))
        lines << *line;
    return lines;
}

} // namespace

PackageCommand ListCommand(const QString& tool)
{
    return {{tool, QStringLiteral("list")}, tool + QStringLiteral(" list")};
}

PackageCommand UpgradeCommand(const QString& tool, const QString& name, const QString& identifier)
{
    const QChar quote = u'"';
    if (name.endsWith(QChar(ShortenedNameMark)))
        return {QStringList{tool, QStringLiteral("upgrade"), QStringLiteral("--id"), identifier} + UpgradeOptions,
                tool + QStringLiteral(" upgrade --id ") + quote + identifier + quote + UpgradeOptionsText};
    return {QStringList{tool, QStringLiteral("upgrade"), name} + UpgradeOptions,
            tool + QStringLiteral(" upgrade ") + quote + name + quote + UpgradeOptionsText};
}

bool UpgradeSucceeded(const QString& output, int exitStatus)
{
    return exitStatus == 0 && output.contains(QStringLiteral("Successfully installed"));
}

QString UpgradeSummaryText(qsizetype updated, const QStringList& failed)
{
    const QString counts = QStringLiteral("%1 updated, %2 failed").arg(updated).arg(failed.size());
    return failed.isEmpty() ? counts : counts + QStringLiteral(": ") + failed.join(QStringLiteral(", "));
}

QString CleanLogLine(const QString& line)
{
    QString text;
    text.reserve(line.size());
    for (const QChar c : line) {
        if (c != u' ' || !text.endsWith(u' '))
            text += c;
    }
    for (const char* fragment : {" /", " |", " -", " \\"})
        text.remove(QLatin1StringView(fragment));
    text.replace(QStringLiteral("0x800704c7"), LineEnd + QStringLiteral("0x800704c7"));
    text.replace(QStringLiteral("Successfully installed"), LineEnd + QStringLiteral("Successfully installed!"));
    text.replace(QStringLiteral("You cancel"), LineEnd + QStringLiteral("You cancel"));
    return runtime::TrimSpaces(text);
}

PackageRun RunPackageManager(const QStringList& arguments, const PassHandler& onPass, int64_t silenceLimitMs)
{
    runtime::Process* process = runtime::ProcessRun(arguments, QString(), runtime::RunAll);
    if (process == nullptr)
        return {};

    // A handler keeps the windows alive, so it runs now and then even while
    // the tool is silent; without one the loop waits for the tool alone.
    const int64_t passWait = onPass ? PassIntervalMs : (silenceLimitMs > 0 ? silenceLimitMs : -1);
    int64_t lastHeard = runtime::ElapsedMs();
    PackageRun run;
    bool more = true;
    while (more) {
        more = runtime::ProcessWaitOutput(process, passWait);
        const QStringList lines = TakeLines(process, runtime::ProcessStream::Output);
        const QStringList errors = TakeLines(process, runtime::ProcessStream::Error);
        for (const QString& line : lines) {
            run.output += line + LineEnd;
            if (line == AgreementQuestion)
                runtime::ProcessWrite(process, AgreementAnswer);
        }
        for (const QString& error : errors) {
            run.output += error + LineEnd;
            if (!error.trimmed().isEmpty())
                run.lastErrors << error;
        }
        if (run.lastErrors.size() > LastErrorLines)
            run.lastErrors.remove(0, run.lastErrors.size() - LastErrorLines);
        if (!lines.isEmpty() || !errors.isEmpty())
            lastHeard = runtime::ElapsedMs();
        if (onPass)
            onPass(lines, errors);
        if (more && silenceLimitMs > 0 && runtime::ElapsedMs() - lastHeard > silenceLimitMs) {
            runtime::ProcessEnd(process, runtime::ProcessEndGraceMs);
            runtime::ProcessClose(process);
            return {};
        }
    }
    run.exitStatus = runtime::ProcessExitStatus(process);
    runtime::ProcessClose(process);

    while (run.output.endsWith(LineEnd))
        run.output.chop(2);
    qsizetype start = 0;
    while (QStringView(run.output).mid(start, 2) == LineEnd)
        start += 2;
    run.output.remove(0, start);
    return run;
}

bool ListRunFailed(const PackageRun& run)
{
    return run.output.isEmpty() || (run.exitStatus != 0 && !run.output.contains(AppsSeparator));
}

bool PackageManagerUsable(const QString& path, bool isBridge, const QStringList& serviceFolders)
{
    const QFileInfo file(path);
    if (path.isEmpty() || !file.isFile() || !file.isExecutable())
        return false;
    return !isBridge || !QStandardPaths::findExecutable(QStringLiteral("flatpak")).isEmpty() ||
           PackageKitInstalled(serviceFolders);
}

bool PackageKitInstalled(const QStringList& serviceFolders)
{
    for (const QString& folder : serviceFolders) {
        if (QFileInfo::exists(folder + QStringLiteral("org.freedesktop.PackageKit.service")))
            return true;
    }
    return false;
}

} // namespace updater
