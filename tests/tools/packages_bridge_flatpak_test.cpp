// The bridge run as the program runs it, against real flatpak: a remote made
// offline by flatpak-fixture.sh, with an application installed from it at 1.0
// into a throwaway user installation.
#include "support/flatpak_world.h"
#include "support/qstring_print.h"
#include "support/tool_output.h"
#include "slow_remote.h"
#include "updater/apps_table.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <signal.h>
#include <unistd.h>

namespace {

const QString Bridge = QStringLiteral(ZORVANE_PACKAGES_BRIDGE);
const QStringList UpgradeOptions = {"--accept-package-agreements", "--accept-source-agreements", "--include-unknown"};

struct Ran
{
    int exitCode = -1; ///< -1 when it crashed or did not finish
    QString out;
    QString err;
};

Ran RunProgram(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    process.closeWriteChannel();
    process.waitForFinished(120000);
    const bool finished = process.state() == QProcess::NotRunning && process.exitStatus() == QProcess::NormalExit;
    return {finished ? process.exitCode() : -1, QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

/// The application rows of a `list` output as "name|identifier|installed|available",
/// read the way the program reads them.
QStringList TableRows(const QString& out)
{
    const QString output = testsupport::AsReadFromTool(out);
    if (!output.contains(updater::AppsSeparator))
        return {"no separator line"};
    QStringList rows;
    for (const QString& line : updater::TakeAppLines(output)) {
        const updater::AppRow row = updater::ParseAppLine(line);
        rows << QStringList{row.name, row.identifier, row.installed, row.available}.join(u'|');
    }
    return rows;
}

class FlatpakBridge : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        bool skip = false;
        const QString problem = world_.Create(dir_.path(), &skip);
        if (skip)
            GTEST_SKIP() << problem.toStdString();
        ASSERT_EQ(problem, "");
        work_ = world_.Fixture();
        env_ = world_.Environment();
        Given({"add-app", "org.example.Hello", "Hello", "1.0"});
    }

    Ran Publish(const QString& version)
    {
        const QString problem = world_.Given({"publish", "org.example.Hello", version}, env_);
        return {problem.isEmpty() ? 0 : 1, QString(), problem};
    }
    /// The fixture script doing `command` on this test's flatpak world.
    void Given(const QStringList& command) { ASSERT_EQ(world_.Given(command, env_), ""); }
    Ran RunBridge(const QStringList& arguments) { return RunProgram(Bridge, arguments, env_); }
    Ran Flatpak(const QStringList& arguments) { return RunProgram("flatpak", arguments, env_); }

    QString InstalledVersion()
    {
        return Flatpak({"list", "--user", "--app", "--columns=application,version"}).out.trimmed();
    }

    QTemporaryDir dir_;
    testsupport::FlatpakWorld world_;
    QString work_;
    QProcessEnvironment env_;
};

TEST_F(FlatpakBridge, ListsThenUpgradesAndRefusesWhatItCannotUpgrade)
{
    const Ran installed = RunBridge({"list"});
    ASSERT_EQ(installed.exitCode, 0) << installed.err.toStdString();
    EXPECT_EQ(TableRows(installed.out), QStringList{"Hello|org.example.Hello|1.0|Unknown"}) << "no newer version yet";

    ASSERT_EQ(Publish("2.0").exitCode, 0);
    const Ran offered = RunBridge({"list"});
    ASSERT_EQ(offered.exitCode, 0) << offered.err.toStdString();
    EXPECT_EQ(TableRows(offered.out), QStringList{"Hello|org.example.Hello|1.0|2.0"}) << "2.0 published";

    const Ran upgraded = RunBridge(QStringList{"upgrade", "--id", "org.example.Hello"} + UpgradeOptions);
    EXPECT_EQ(upgraded.exitCode, 0) << upgraded.out.toStdString();
    EXPECT_TRUE(upgraded.out.contains("Updating app/org.example.Hello/x86_64/stable\n")) << "flatpak's own line";
    EXPECT_TRUE(upgraded.out.endsWith("Successfully installed org.example.Hello 2.0\n")) << upgraded.out.toStdString();
    EXPECT_EQ(InstalledVersion(), "org.example.Hello\t2.0");
    EXPECT_EQ(TableRows(RunBridge({"list"}).out), QStringList{"Hello|org.example.Hello|2.0|Unknown"}) << "up to date";

    const Ran again = RunBridge(QStringList{"upgrade", "Hello"} + UpgradeOptions);
    EXPECT_EQ(again.exitCode, 0) << "already current is no failure";
    EXPECT_TRUE(again.out.endsWith("Successfully installed org.example.Hello 2.0\n")) << again.out.toStdString();

    const struct
    {
        const char* what;
        QStringList arguments;
        const char* lastLine;
    } refused[] = {
        {"no such name", QStringList{"upgrade", "No Such App"} + UpgradeOptions,
         "The update failed: no installed application is named \"No Such App\".\n"},
    };
    for (const auto& r : refused) {
        const Ran ran = RunBridge(r.arguments);
        EXPECT_EQ(ran.exitCode, 1) << r.what;
        EXPECT_FALSE((ran.out + ran.err).contains("Successfully installed")) << r.what;
        EXPECT_TRUE(ran.out.endsWith(r.lastLine)) << r.what << ": " << ran.out.toStdString();
    }
    EXPECT_EQ(InstalledVersion(), "org.example.Hello\t2.0");
}

TEST_F(FlatpakBridge, APullThatFailsIsAFailureWithFlatpaksError)
{
    ASSERT_EQ(Publish("2.0").exitCode, 0);
    // The repository loses the new commit object: the pull of 2.0 fails.
    const QString commit = Flatpak({"remote-info", "--user", "-c", "local", "org.example.Hello"}).out.trimmed();
    ASSERT_EQ(commit.size(), 64) << commit.toStdString();
    ASSERT_TRUE(QFile::remove(work_ + "/remotes/local/objects/" + commit.left(2) + "/" + commit.mid(2) + ".commit"));

    const Ran ran = RunBridge(QStringList{"upgrade", "Hello"} + UpgradeOptions);
    EXPECT_EQ(ran.exitCode, 1);
    EXPECT_TRUE(ran.out.contains("Error: app/org.example.Hello/x86_64/stable: While pulling")) << "flatpak's error";
    EXPECT_FALSE((ran.out + ran.err).contains("Successfully installed"));
    const QString last = ran.out.trimmed().split(u'\n').constLast();
    EXPECT_TRUE(last.startsWith("The update failed: flatpak could not update app/org.example.Hello/x86_64/stable: "
                                "While pulling"))
        << ran.out.toStdString();
    EXPECT_EQ(InstalledVersion(), "org.example.Hello\t1.0");
}

/// A download over a slow remote says how far it got a few times a second,
/// and a stop in the middle of one ends it with the old version in place.
TEST_F(FlatpakBridge, ADownloadShowsItsProgressAndAStopLeavesTheOldVersion)
{
    env_.insert("FIXTURE_PAYLOAD_BYTES", "3000000");
    Given({"publish", "org.example.Hello", "2.0"});
    testsupport::SlowRemote remote(work_ + "/remotes/local", 1000000);
    ASSERT_FALSE(remote.Url().isEmpty());
    ASSERT_EQ(Flatpak({"remote-modify", "--user", "--url=" + remote.Url(), "local"}).exitCode, 0);

    const Ran upgraded = RunBridge(QStringList{"upgrade", "--id", "org.example.Hello"} + UpgradeOptions);
    EXPECT_EQ(upgraded.exitCode, 0) << upgraded.out.toStdString();
    const QStringList progress = upgraded.out.split(u'\n').filter(QRegularExpression("^Downloading "));
    EXPECT_GE(progress.size(), 3) << upgraded.out.toStdString();
    EXPECT_LE(progress.size(), 20) << "no flood: " << upgraded.out.toStdString();
    const QRegularExpression line(R"(^Downloading (\d+) % \(\d+\.\d of 3\.\d MB\)$)");
    int last = -1;
    for (const QString& shown : progress) {
        const QRegularExpressionMatch match = line.match(shown);
        EXPECT_TRUE(match.hasMatch()) << shown.toStdString();
        EXPECT_GT(match.captured(1).toInt(), last) << "the percentage only grows: " << shown.toStdString();
        last = match.captured(1).toInt();
    }
    EXPECT_EQ(InstalledVersion(), "org.example.Hello\t2.0");

    Given({"publish", "org.example.Hello", "3.0"});
    remote.StallObjects();
    QProcess bridge;
    bridge.setProcessEnvironment(env_);
    bridge.start(Bridge, QStringList{"upgrade", "--id", "org.example.Hello"} + UpgradeOptions);
    QString out;
    for (int i = 0; i < 300 && !out.contains("Updating app/org.example.Hello"); ++i) {
        bridge.waitForReadyRead(100);
        out += QString::fromUtf8(bridge.readAllStandardOutput());
    }
    EXPECT_TRUE(out.contains("Updating app/org.example.Hello")) << "the update never began: " << out.toStdString();
    ::kill(pid_t(bridge.processId()), SIGTERM);
    ASSERT_TRUE(bridge.waitForFinished(10000)) << "a stop must not wait for the stalled remote";
    out += QString::fromUtf8(bridge.readAllStandardOutput());
    EXPECT_EQ(bridge.exitCode(), 1);
    EXPECT_TRUE(out.endsWith("The update failed: it was asked to stop before flatpak was done.\n"))
        << out.toStdString();
    EXPECT_EQ(InstalledVersion(), "org.example.Hello\t2.0");
}

/// PackageKit unreachable costs the distribution's rows only: flatpak's are
/// listed, and a note says what is missing.
TEST_F(FlatpakBridge, APackageKitThatCannotBeReachedLeavesTheFlatpakRows)
{
    if (!QFile::exists("/usr/share/dbus-1/system-services/org.freedesktop.PackageKit.service"))
        GTEST_SKIP() << "PackageKit is not installed (scripts/setup installs it)";
    env_.insert("ZORVANE_PACKAGES_SOURCES", "flatpak,packagekit");
    env_.insert("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + dir_.filePath("no-bus"));
    const Ran listed = RunBridge({"list"});
    ASSERT_EQ(listed.exitCode, 0) << listed.err.toStdString();
    EXPECT_EQ(TableRows(listed.out), QStringList{"Hello|org.example.Hello|1.0|Unknown"});
    const QStringList notes = updater::TakeToolNotes(testsupport::AsReadFromTool(listed.out));
    ASSERT_EQ(notes.size(), 1);
    EXPECT_TRUE(notes[0].startsWith("PackageKit could not list the installed packages: ")) << notes[0].toStdString();
}

/// A port that takes connections and never answers, as a stalled server does:
/// the kernel completes them in the backlog of a socket nobody accepts on.
class Tarpit
{
public:
    Tarpit()
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (fd_ >= 0 && ::bind(fd_, reinterpret_cast<sockaddr*>(&address), size) == 0 && ::listen(fd_, 64) == 0 &&
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) == 0)
            port_ = ntohs(address.sin_port);
    }
    ~Tarpit()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Tarpit(const Tarpit&) = delete;
    Tarpit& operator=(const Tarpit&) = delete;
    int Port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
};

/// What a flatpak user meets: remotes that are dead or stall, a name two
/// applications share and one that reads as an option, a rebuild at the same
/// version, a masked and an end-of-life application, a runtime update.
TEST_F(FlatpakBridge, EveryApplicationSaysWhereItStandsAndUpgradesByWhatFlatpakSays)
{
    Given({"add-remote", "other"});
    Given({"add-app", "org.other.Hello", "Hello", "1.0", "other"});
    Given({"add-app", "org.example.Dash", "--id", "1.0"});
    Given({"add-app", "org.example.Masked", "Masked", "1.0"});
    Given({"add-app", "org.example.Old", "Old", "1.0"});
    Given({"add-remote", "dead"});
    Given({"add-app", "org.dead.App", "Dead App", "1.0", "dead"});
    Given({"add-remote", "stalled"});
    Given({"add-app", "org.stalled.App", "Stalled App", "1.0", "stalled"});
    Given({"publish", "org.example.Hello", "2.0"});
    Given({"publish", "org.other.Hello", "1.0", "--filesystem=home", "--share=network"});
    Given({"publish", "org.example.Masked", "2.0"});
    Given({"publish", "org.example.Old", "1.1", "--end-of-life=Unmaintained, sorry",
           "--end-of-life-rebase=org.example.Hello"});
    Given({"publish-runtime"});
    ASSERT_EQ(Flatpak({"mask", "--user", "org.example.Masked"}).exitCode, 0);
    const Tarpit tarpit;
    ASSERT_GT(tarpit.Port(), 0);
    ASSERT_EQ(Flatpak({"remote-modify", "--user", "--url=http://127.0.0.1:9/", "dead"}).exitCode, 0);
    ASSERT_EQ(Flatpak({"remote-modify", "--user", QString("--url=http://127.0.0.1:%1/").arg(tarpit.Port()), "stalled"})
                  .exitCode,
              0);

    const Ran listed = RunBridge({"list"});
    ASSERT_EQ(listed.exitCode, 0) << listed.err.toStdString();
    const QString shared = QChar(updater::ShortenedNameMark);
    EXPECT_EQ(TableRows(listed.out), (QStringList{
                                         "--id (org.example.Dash)" + shared + "|org.example.Dash|1.0|Unknown",
                                         "Dead App|org.dead.App|1.0|(remote unreachable)",
                                         "Flatpak runtimes|@flatpak-runtimes||1 update",
                                         "Hello (org.example.Hello)" + shared + "|org.example.Hello|1.0|2.0",
                                         "Hello (org.other.Hello)" + shared + "|org.other.Hello|1.0|1.0 (new build)",
                                         "Masked|org.example.Masked|1.0|(masked)",
                                         "Old|org.example.Old|1.0|(end of life)",
                                         "Stalled App|org.stalled.App|1.0|(remote timed out)",
                                     }));
    EXPECT_EQ(updater::TakeToolNotes(testsupport::AsReadFromTool(listed.out)),
              (QStringList{"The remote \"dead\" of the user installation could not be reached; its applications show "
                           "\"(remote unreachable)\".",
                           "The remote \"stalled\" of the user installation did not answer in time; its applications "
                           "show \"(remote timed out)\"."}));

    const struct
    {
        const char* what;
        const char* identifier;
        int exitCode;
        QStringList saidInOrder; // lines of the log, in this order, the last one last
    } upgrades[] = {
        // First: an application's update would drag the runtime along.
        {"the runtimes",
         "@flatpak-runtimes",
         0,
         {"Updating the runtimes of the user installation: runtime/org.example.TestRuntime/x86_64/1",
          "Removing the runtimes no application of the user installation uses any more",
          "Successfully installed @flatpak-runtimes"}},
        {"a same-version rebuild that asks for more",
         "org.other.Hello",
         0,
         {"The update gives org.other.Hello in the user installation new permissions:", "- filesystems: home",
          "- shared: network", "Successfully installed org.other.Hello 1.0"}},
        {"a masked application",
         "org.example.Masked",
         1,
         {"org.example.Masked in the user installation is masked: flatpak does not update it.",
          "The update failed: org.example.Masked is masked (flatpak mask --remove lifts it)."}},
        {"an end-of-life application",
         "org.example.Old",
         0,
         {"org.example.Old in the user installation has reached its end of life: Unmaintained, sorry",
          "Its replacement is org.example.Hello", "org.example.Old was replaced by org.example.Hello",
          "Successfully installed org.example.Hello 2.0"}},
        {"a name that reads as an option, by identifier",
         "org.example.Dash",
         0,
         {"Successfully installed org.example.Dash 1.0"}},
    };
    for (const auto& u : upgrades) {
        const Ran ran = RunBridge(QStringList{"upgrade", "--id", u.identifier} + UpgradeOptions);
        EXPECT_EQ(ran.exitCode, u.exitCode) << u.what << ": " << ran.out.toStdString() << ran.err.toStdString();
        qsizetype from = 0;
        for (const QString& line : u.saidInOrder) {
            const qsizetype at = ran.out.indexOf(line + "\n", from);
            EXPECT_GE(at, from) << u.what << ": \"" << line.toStdString() << "\" missing or out of order in\n"
                                << ran.out.toStdString();
            from = std::max(at, from);
        }
        EXPECT_TRUE(ran.out.endsWith(u.saidInOrder.back() + "\n")) << u.what;
    }
    EXPECT_EQ(TableRows(RunBridge({"list"}).out).filter("@flatpak-runtimes"), QStringList{})
        << "no runtime update is left";
}

/// The same application in the user and the system installation: each copy
/// has its row, and either upgrade leaves both current and says so.
TEST_F(FlatpakBridge, AnApplicationInBothInstallationsIsCurrentAfterEitherUpgrade)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can install into the test's system installation";
    const QString remote = "file://" + work_ + "/remotes/local";
    ASSERT_EQ(Flatpak({"remote-add", "--system", "--no-gpg-verify", "local", remote}).exitCode, 0);
    const Ran installed =
        Flatpak({"install", "--system", "-y", "--noninteractive", "local", "app/org.example.Hello/x86_64/stable"});
    ASSERT_EQ(installed.exitCode, 0) << installed.err.toStdString();
    ASSERT_EQ(Publish("1.5").exitCode, 0);

    const Ran listed = RunBridge({"list"});
    EXPECT_EQ(TableRows(listed.out),
              (QStringList{"Hello|org.example.Hello|1.0|1.5", "Hello|org.example.Hello|1.0|1.5"}))
        << "one row per installation";
    for (int row = 0; row < 2; ++row) {
        const Ran ran = RunBridge(QStringList{"upgrade", "--id", "org.example.Hello"} + UpgradeOptions);
        EXPECT_EQ(ran.exitCode, 0) << "row " << row << ": " << ran.out.toStdString();
        EXPECT_TRUE(ran.out.endsWith("Successfully installed org.example.Hello 1.5\n")) << ran.out.toStdString();
    }
    EXPECT_EQ(Flatpak({"list", "--app", "--columns=installation,version"}).out, "system\t1.5\nuser\t1.5\n");
}

TEST(BridgeCommandLine, AnythingElseGetsTheUsageLineAndStatus2)
{
    const struct
    {
        const char* what;
        QStringList arguments;
    } rows[] = {
        {"nothing", {}},
        {"an unknown command", {"remove", "Hello"}},
        {"upgrade without a target", {"upgrade"}},
        {"an unknown option", {"upgrade", "Hello", "--assume-yes"}},
    };
    for (const auto& r : rows) {
        const Ran ran = RunProgram(Bridge, r.arguments, QProcessEnvironment::systemEnvironment());
        EXPECT_EQ(ran.exitCode, 2) << r.what;
        EXPECT_TRUE(ran.err.startsWith("usage: zorvane-packages list")) << r.what << ": " << ran.err.toStdString();
        EXPECT_EQ(ran.out, "") << r.what;
    }
}

} // namespace
