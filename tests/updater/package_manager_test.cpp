#include "updater/package_manager.h"

#include "support/qstring_print.h"
#include "support/test_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

using namespace updater;

namespace {

PackageRun RunSh(const QString& script, const PassHandler& onPass = nullptr, int64_t silenceLimitMs = 0)
{
    return RunPackageManager({"/bin/sh", "-c", script}, onPass, silenceLimitMs);
}

QString Sh(const QString& script, const PassHandler& onPass = nullptr, int64_t silenceLimitMs = 0)
{
    return RunSh(script, onPass, silenceLimitMs).output;
}

} // namespace

TEST(RunPackageManager, CollectsTheOutputAsTheToolLeftIt)
{
    const struct
    {
        const char* what;
        const char* script;
        const char* output;
    } rows[] = {
        {"prints nothing and exits", "exit 0", ""},
        {"blank lines around are dropped", "printf '\\n\\nabc\\n\\n\\n'", "abc"},
        {"lines joined by CR LF, CR dropped", "printf 'one\\r\\ntwo\\n'", "one\r\ntwo"},
        {"standard error is collected too", "echo out; echo err >&2; sleep 0.2", "out\r\nerr"},
        {"the bare question is answered", "echo 'Do you agree to all the source agreements terms?'; head -n 1",
         "Do you agree to all the source agreements terms?\r\ny"},
        {"the question with more text is not",
         "echo 'Do you agree to all the source agreements terms? Y/N'; "
         "timeout 1 head -n 1; echo done",
         "Do you agree to all the source agreements terms? Y/N\r\ndone"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(Sh(r.script), r.output) << r.what;
    EXPECT_EQ(RunPackageManager({"/nonexistent/zorvane-packages", "list"}, nullptr, 0).output, "") << "a missing tool";
}

TEST(RunPackageManager, ErrorLinesJustBeforeTheExitComeAtMostOnceAndInOrder)
{
    const QString output = Sh("echo first; printf 'e1\\ne2\\ne3\\n' >&2");
    const QStringList lines = output.split("\r\n");
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.front(), "first");
    // Each pass takes one waiting error line; those left when the output ends
    // are not collected, and none comes twice or out of order.
    const QStringList errors = lines.mid(1);
    EXPECT_LE(errors.size(), 3);
    for (qsizetype i = 0; i < errors.size(); ++i)
        EXPECT_EQ(errors[i], QString("e%1").arg(i + 1)) << output.toStdString();
}

TEST(RunPackageManager, KeepsWhatTheToolLeftAtItsEndAndItsExitStatus)
{
    const struct
    {
        const char* what;
        const char* script;
        const char* output;
        int status;
        const char* lastErrors; // joined by "|"
    } rows[] = {
        {"every error line written just before the exit", "echo first; printf 'e1\\ne2\\ne3\\n' >&2",
         "first\r\ne1\r\ne2\r\ne3", 0, "e1|e2|e3"},
        {"a tool that fails at once says why", "echo 'flatpak could not be started' >&2; exit 1",
         "flatpak could not be started", 1, "flatpak could not be started"},
        {"an unfinished last error line", "echo out; printf err >&2; exit 4", "out\r\nerr", 4, "err"},
        {"only the last error lines are kept apart", "for i in 1 2 3 4 5 6 7; do echo e$i >&2; done",
         "e1\r\ne2\r\ne3\r\ne4\r\ne5\r\ne6\r\ne7", 0, "e3|e4|e5|e6|e7"},
        {"ended by a signal", "kill -9 $$", "", -1, ""},
    };
    for (const auto& r : rows) {
        const PackageRun run = RunSh(r.script);
        EXPECT_EQ(run.output, r.output) << r.what;
        EXPECT_EQ(run.exitStatus, r.status) << r.what;
        EXPECT_EQ(run.lastErrors.join(u'|'), r.lastErrors) << r.what;
    }
}

TEST(RunPackageManager, NeitherStreamStallsTheOther)
{
    // Half a line on standard output, then more on standard error than its
    // pipe holds: a reader that waits for the rest of the line while the
    // tool waits for room on the other pipe never ends. The silence limit
    // only keeps a broken reader from hanging the test.
    const QStringList lines = Sh("printf half; yes e | head -n 40000 >&2; echo ' whole'", nullptr, 20000).split("\r\n");
    EXPECT_EQ(lines.count("half whole"), 1);
    EXPECT_EQ(lines.count("e"), 40000);
    EXPECT_EQ(lines.size(), 40001);
}

TEST(RunPackageManager, EveryPassReachesTheLiveLog)
{
    QStringList shown;
    const QString output = Sh("echo a; echo b >&2; sleep 0.1; echo c",
                              [&](const QStringList& lines, const QStringList& errors) { shown << lines << errors; });
    EXPECT_EQ(output, "a\r\nb\r\nc");
    EXPECT_EQ(shown, (QStringList{"a", "b", "c"}));
}

TEST(RunPackageManager, ASilentToolIsEndedAtTheLimit)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const struct
    {
        const char* what;
        const char* script;
    } rows[] = {
        {"silent from the start", "echo $$ > '%1'; exec sleep 60"},
        {"a line begun and never ended", "echo $$ > '%1'; printf 'abc'; exec sleep 60"},
        {"silent after some output", "echo $$ > '%1'; echo listed; exec sleep 60"},
    };
    for (const auto& r : rows) {
        const QString pidFile = dir.filePath("pid");
        EXPECT_EQ(Sh(QString::fromLatin1(r.script).arg(pidFile), nullptr, 300), "") << r.what;
        const pid_t pid = static_cast<pid_t>(testsupport::ReadBytes(pidFile).trimmed().toInt());
        ASSERT_GT(pid, 0) << r.what;
        EXPECT_NE(::kill(pid, 0), 0) << r.what << ": the tool still runs";
    }
}

TEST(RunPackageManager, TextFromTheTableReachesTheToolAsOneArgumentAndRunsNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString marker = dir.filePath("ran");
    const QString args = dir.filePath("args");
    qputenv("STANDIN_ARGS", args.toUtf8());
    const QString hostile = "x\" & touch '" + marker + "' & \"; touch " + marker + "; $(touch " + marker + ") `touch " +
                            marker + "` | touch " + marker;
    for (const auto& [name, identifier] : {std::pair{hostile, QString("Id")}, std::pair{hostile + "\u2026", hostile}}) {
        const PackageRun run = RunPackageManager(UpgradeCommand(STANDIN_PATH, name, identifier).arguments, nullptr, 0);
        EXPECT_TRUE(UpgradeSucceeded(run.output, run.exitStatus)) << run.output.toStdString();
    }
    qunsetenv("STANDIN_ARGS");
    const QList<QStringList> runs = testsupport::RecordedRuns(args);
    ASSERT_EQ(runs.size(), 2);
    EXPECT_EQ(runs[0], QStringList({"upgrade", hostile}) + UpgradeOptions);
    EXPECT_EQ(runs[1], QStringList({"upgrade", "--id", hostile}) + UpgradeOptions);
    EXPECT_FALSE(QFileInfo::exists(marker));
}

TEST(UpgradeSummaryText, CountsAndNamesTheFailures)
{
    EXPECT_EQ(UpgradeSummaryText(3, {}), "3 updated, 0 failed");
    EXPECT_EQ(UpgradeSummaryText(2, {"Masked App", "Zip Packer\u2026"}),
              "2 updated, 2 failed: Masked App, Zip Packer\u2026");
}

TEST(ListRunFailed, WhenNoTableCameBack)
{
    const QString table = "Name  Id\r\n" + QString(119, u'-') + "\r\nrow";
    const struct
    {
        const char* what;
        QString output;
        int status;
        bool failed;
    } rows[] = {
        {"nothing printed", "", 0, true},
        {"an error text and an error exit", "flatpak could not be started", 1, true},
        {"a table, whatever the exit", table, 1, false},
        {"a text and exit 0: a list with nothing in it", "No installed package found.", 0, false},
    };
    for (const auto& r : rows)
        EXPECT_EQ(ListRunFailed({r.output, r.status, {}}), r.failed) << r.what;
}

TEST(PackageManagerUsable, NeedsARunnableFileAndForTheBridgeFlatpakOrPackageKit)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString runnable = dir.filePath("tool");
    const QString plain = dir.filePath("plain");
    testsupport::WriteBytes(runnable, "#!/bin/sh\n");
    testsupport::WriteBytes(plain, "#!/bin/sh\n");
    QFile::setPermissions(runnable, QFile::ReadOwner | QFile::ExeOwner);
    const QStringList services = {dir.filePath("services/")};
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", dir.path().toUtf8()); // no flatpak here
    EXPECT_TRUE(PackageManagerUsable(runnable, false, services));
    EXPECT_FALSE(PackageManagerUsable(runnable, true, services)) << "the bridge without flatpak or PackageKit";
    EXPECT_FALSE(PackageManagerUsable(plain, false, services)) << "not executable";
    EXPECT_FALSE(PackageManagerUsable(dir.filePath("missing"), false, services));
    EXPECT_FALSE(PackageManagerUsable(dir.path(), false, services)) << "a folder";
    ASSERT_TRUE(QDir().mkpath(services[0]));
    testsupport::WriteBytes(services[0] + "org.freedesktop.PackageKit.service", "[D-BUS Service]\n");
    EXPECT_TRUE(PackageManagerUsable(runnable, true, services)) << "the bridge with PackageKit";
    QFile::remove(services[0] + "org.freedesktop.PackageKit.service");
    QFile::copy(runnable, dir.filePath("flatpak"));
    EXPECT_TRUE(PackageManagerUsable(runnable, true, services)) << "the bridge with flatpak";
    qputenv("PATH", path);
}
