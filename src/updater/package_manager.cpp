#include "updater/package_manager.h"

#include "runtime/clock.h"
#include "runtime/process.h"
#include "runtime/text_positions.h"
#include "updater/apps_table_layout.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace updater {

namespace {

const QString LineEnd = QStringLiteral("\r\n");

/// Ends the tool that went silent, and reports the run as failed.
QString GiveUp(runtime::Process* process)
{
    runtime::ProcessKill(process);
    runtime::ProcessClose(process);
    return QString();
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

bool UpgradeSucceeded(const QString& output)
{
    return output.contains(QStringLiteral("Successfully installed"));
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

QString RunPackageManager(const QStringList& arguments, const PassHandler& onPass, int64_t silenceLimitMs)
{
    runtime::Process* process = runtime::ProcessRun(arguments, QString(), runtime::RunAll);
    if (process == nullptr)
        return QString();
    runtime::SleepMs(500);

    const int64_t readLimit = silenceLimitMs > 0 ? silenceLimitMs : -1;
    int64_t lastHeard = runtime::ElapsedMs();
    QString output;
    while (runtime::ProcessIsRunning(process)) {
        QString line;
        if (runtime::ProcessOutputAvailable(process) > 0) {
            // A line the tool starts and never ends must not hold the loop
            // past the silence limit either.
            bool gaveUp = false;
            line = runtime::ProcessReadLine(process, readLimit, &gaveUp);
            if (gaveUp)
                return GiveUp(process);
            output += line + LineEnd;
            if (line == AgreementQuestion)
                runtime::ProcessWrite(process, AgreementAnswer);
            lastHeard = runtime::ElapsedMs();
        } else {
            runtime::SleepMs(1);
        }
        const QString error = runtime::ProcessReadErrorLine(process);
        if (!error.isEmpty()) {
            output += error + LineEnd;
            lastHeard = runtime::ElapsedMs();
        }
        if (onPass)
            onPass(line, error);
        if (silenceLimitMs > 0 && runtime::ElapsedMs() - lastHeard > silenceLimitMs)
            return GiveUp(process);
    }
    runtime::ProcessClose(process);

    while (output.endsWith(LineEnd))
        output.chop(2);
    qsizetype start = 0;
    while (QStringView(output).mid(start, 2) == LineEnd)
        start += 2;
    return output.mid(start);
}

bool PackageManagerUsable(const QString& path, bool isBridge)
{
    const QFileInfo file(path);
    if (path.isEmpty() || !file.isFile() || !file.isExecutable())
        return false;
    return !isBridge || !QStandardPaths::findExecutable(QStringLiteral("flatpak")).isEmpty();
}

} // namespace updater
