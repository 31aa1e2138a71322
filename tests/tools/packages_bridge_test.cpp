#include "packages-bridge/app_permissions.h"
#include "packages-bridge/bridge_commands.h"
#include "packages-bridge/desktop_entry.h"
#include "packages-bridge/child_process.h"
#include "packages-bridge/command_line.h"
#include "packages-bridge/flatpak_apps.h"
#include "packages-bridge/flatpak_update.h"
#include "packages-bridge/remote_refs.h"
#include "updater/apps_table_layout.h"

#include "support/qstring_print.h"
#include "support/test_files.h"
#include "updater/package_manager.h"

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <vector>

using namespace packagesbridge;

TEST(BridgeCommandLine, TakesOnlyWhatTheProgramPasses)
{
    using Kind = Command::Kind;
    const QString a = "--accept-package-agreements", s = "--accept-source-agreements", i = "--include-unknown";
    const struct
    {
        const char* what;
        QStringList words;
        Kind kind;
        const char* target;
    } rows[] = {
        {"list", {"list"}, Kind::List, ""},
        {"upgrade by identifier",
         {"upgrade", "--id", "org.example.Hello", a, s, i},
         Kind::UpgradeById,
         "org.example.Hello"},
        {"upgrade by name", {"upgrade", "Hello World", a, s, i}, Kind::UpgradeByName, "Hello World"},
        {"options are optional", {"upgrade", "Hello"}, Kind::UpgradeByName, "Hello"},
        {"a name is data", {"upgrade", "x; rm -rf ~ $(id)", a}, Kind::UpgradeByName, "x; rm -rf ~ $(id)"},
        {"nothing", {}, Kind::Usage, ""},
        {"an unknown command", {"install", "Hello"}, Kind::Usage, ""},
        {"list with a word after it", {"list", "Hello"}, Kind::Usage, ""},
        {"upgrade without a target", {"upgrade"}, Kind::Usage, ""},
        {"--id without an identifier", {"upgrade", "--id"}, Kind::Usage, ""},
        {"an empty identifier", {"upgrade", "--id", "", a}, Kind::Usage, ""},
        {"an empty name", {"upgrade", ""}, Kind::Usage, ""},
        {"an option where the name belongs", {"upgrade", i, "Hello"}, Kind::Usage, ""},
        {"an unknown option", {"upgrade", "Hello", "--force"}, Kind::Usage, ""},
        {"two names", {"upgrade", "Hello", "World"}, Kind::Usage, ""},
    };
    for (const auto& r : rows) {
        const Command command = ParseCommand(r.words);
        EXPECT_EQ(command.kind, r.kind) << r.what;
        EXPECT_EQ(command.target, r.target) << r.what;
    }
}

TEST(FlatpakApps, ReadsListOutputAndSkipsWhatIsNoApplication)
{
    const QString output = "user\torg.example.Hello/x86_64/stable\t2d4465658cb1\tflathub\t1.0\tHello\n"
                           "system\torg.example.Tab/x86_64/beta\tabc\tlocal\t\tName\twith a tab\n"
                           "user\tnot-a-ref\tabc\tlocal\t1.0\tBroken\n"
                           "user\torg.example.Short/x86_64/stable\tabc\tlocal\t1.0\n";
    const QList<InstalledApp> apps = ParseInstalledApps(output);
    ASSERT_EQ(apps.size(), 2);
    EXPECT_EQ(apps[0].installation, "user");
    EXPECT_EQ(apps[0].ref, "app/org.example.Hello/x86_64/stable") << "the form remote-ls and update use";
    EXPECT_EQ(apps[0].identifier, "org.example.Hello");
    EXPECT_EQ(apps[0].commit, "2d4465658cb1");
    EXPECT_EQ(apps[0].origin, "flathub");
    EXPECT_EQ(apps[0].version, "1.0");
    EXPECT_EQ(apps[0].name, "Hello");
    EXPECT_EQ(apps[1].version, "") << "an application without a version";
    EXPECT_EQ(apps[1].name, "Name\twith a tab") << "the last column keeps its tabs";
}

TEST(FlatpakApps, AnUpgradeNamesOneApplication)
{
    const QString longName = QString(40, u'L');
    const QString longId = QStringLiteral("org.example.") + QString(30, u'l');
    const auto app = [](const char* installation, const QString& id, const QString& name) {
        return InstalledApp{installation, "app/" + id + "/x86_64/stable", id, "c0", "1.0", name, "local"};
    };
    const QList<InstalledApp> installed = {
        app("user", "org.example.Hello", "Hello"),
        app("system", "org.example.Hello", "Hello"),
        app("user", "org.one.Twin", "Twin"),
        app("user", "org.two.Twin", "Twin"),
        app("user", longId, longName),
        app("user", "org.example.Trailing", "Trailing  "),
    };
    const bool byId = true, byName = false;
    const struct
    {
        const char* what;
        bool byId;
        QString target;
        QStringList copies; // installation:identifier of each copy to update
        const char* problem;
    } rows[] = {
        {"every installation holding the identifier",
         byId,
         "org.example.Hello",
         {"user:org.example.Hello", "system:org.example.Hello"},
         ""},
        {"every copy of the named application",
         byName,
         "Hello",
         {"user:org.example.Hello", "system:org.example.Hello"},
         ""},
        {"one of two applications of the same name, by identifier", byId, "org.two.Twin", {"user:org.two.Twin"}, ""},
        {"a name two applications share", byName, "Twin", {}, "2 applications match the name \"Twin\""},
        {"a name as the table cut it",
         byName,
         QString(33, u'L') + QChar(updater::ShortenedNameMark),
         {"user:" + longId},
         ""},
        {"an identifier as the table cut it",
         byId,
         longId.left(updater::IdentifierColumn.width),
         {"user:" + longId},
         ""},
        {"a shorter start of an identifier is no match",
         byId,
         longId.left(updater::IdentifierColumn.width - 1),
         {},
         "no installed application has the identifier"},
        {"a name as the table lists it, trailing blanks gone", byName, "Trailing", {"user:org.example.Trailing"}, ""},
        {"names are matched exactly", byName, "hello", {}, "no installed application is named \"hello\""},
        {"a name that would read as success is not echoed as such",
         byName,
         "Successfully installed",
         {},
         "no installed application is named \"Successfully_installed\""},
    };
    for (const auto& r : rows) {
        const Targets targets = r.byId ? FindByIdentifier(installed, r.target) : FindByName(installed, r.target);
        QStringList copies;
        for (const InstalledApp& copy : targets.apps)
            copies << copy.installation + ":" + copy.identifier;
        EXPECT_EQ(copies, r.copies) << r.what;
        if (*r.problem == '\0')
            EXPECT_EQ(targets.problem, "") << r.what;
        else
            EXPECT_TRUE(targets.problem.startsWith(r.problem)) << r.what << ": " << targets.problem.toStdString();
    }
}

TEST(RemoteRefs, ReadsOffersAndEndOfLifeWhateverTheReasonHolds)
{
    const struct
    {
        const char* what;
        QString line;
        QString ref; // empty: the line is skipped
        RemoteRef offer;
    } rows[] = {
        {"a plain offer",
         "app/a.b.C/x86_64/stable\tabc123\t2.0\t",
         "app/a.b.C/x86_64/stable",
         {"abc123", "2.0", "", ""}},
        {"a reason with commas and a replacement",
         "app/a.b.C/x86_64/stable\tabc\t\teol=Old, tired,eol-rebase=app/a.b.D/x86_64/stable",
         "app/a.b.C/x86_64/stable",
         {"abc", "", "Old, tired", "app/a.b.D/x86_64/stable"}},
        {"a replacement alone still ends its life",
         "runtime/a.b.R/x86_64/1\tabc\t\teol-rebase=runtime/a.b.S/x86_64/1",
         "runtime/a.b.R/x86_64/1",
         {"abc", "", "replaced by runtime/a.b.S/x86_64/1", "runtime/a.b.S/x86_64/1"}},
        {"a reason that mentions eol-rebase= is still the reason",
         "app/a.b.C/x86_64/s\tabc\t\teol=see eol-rebase=x",
         "app/a.b.C/x86_64/s",
         {"abc", "", "see eol-rebase=x", ""}},
        {"no commit", "app/a.b.C/x86_64/stable\t\t2.0", "", {}},
        {"not a reference", "a.b.C\tabc\t2.0", "", {}},
    };
    for (const auto& r : rows) {
        const QHash<QString, RemoteRef> refs = ParseRemoteRefs(r.line);
        ASSERT_EQ(refs.size(), r.ref.isEmpty() ? 0 : 1) << r.what;
        if (r.ref.isEmpty())
            continue;
        const RemoteRef got = refs.value(r.ref);
        EXPECT_EQ(QStringList({got.commit, got.version, got.endOfLife, got.endOfLifeRebase}),
                  QStringList({r.offer.commit, r.offer.version, r.offer.endOfLife, r.offer.endOfLifeRebase}))
            << r.what;
    }
}

TEST(RemoteRefs, MaskPatternsHoldBackWhatTheyMatchAndNothingElse)
{
    const QString ref = "app/org.example.Hello/x86_64/stable";
    const struct
    {
        const char* what;
        const char* pattern;
        bool masked;
    } rows[] = {
        {"the identifier", "org.example.Hello", true},
        {"a glob", "org.example.*", true},
        {"a glob in the middle", "org.*.Hello", true},
        {"an arch and a branch", "org.example.Hello/x86_64/stable", true},
        {"any arch, one branch", "org.example.Hello//stable", true},
        {"another branch", "org.example.Hello//beta", false},
        {"a prefix is no match", "org.example", false},
        {"too many parts", "org.example.Hello/x86_64/stable/x", false},
        {"stars cannot blow up the match", "*********************************x", false},
    };
    for (const auto& r : rows)
        EXPECT_EQ(IsMasked(ParseMasks(QString("  ") + r.pattern + "\n"), ref), r.masked) << r.what;
}

TEST(AppPermissions, OnlyWhatTheUpdateAddsIsNew)
{
    const QString installed = "[Context]\nshared=ipc;\nfilesystems=xdg-download;\n"
                              "[Session Bus Policy]\norg.example.A=talk\n";
    const struct
    {
        const char* what;
        QString offered;
        QStringList added;
    } rows[] = {
        {"the same grants", installed, {}},
        {"a grant taken away is nothing new", "[Context]\nshared=ipc;\nfilesystems=!xdg-download;\n", {}},
        {"new items of a list and a new key",
         "[Context]\nshared=ipc;network;\nfilesystems=xdg-download;home;\ndevices=all;\n",
         {"devices: all", "filesystems: home", "shared: network"}},
        {"a bus name gained or raised",
         "[Session Bus Policy]\norg.example.A=own\norg.example.B=talk\n[System Bus Policy]\n"
         "org.example.C=none\n",
         {"session bus: org.example.A (own); org.example.B (talk)"}},
        {"keys of other sections grant nothing", "[Application]\nshared=network\n", {}},
    };
    for (const auto& r : rows)
        EXPECT_EQ(NewPermissions(installed, r.offered), r.added) << r.what;
}

TEST(DownloadProgress, LinesSayHowFarInTheWholesUnitAndComeAFewTimesASecond)
{
    EXPECT_EQ(DownloadLine(45, 2200000, 4900000), "Downloading 45 % (2.2 of 4.9 MB)");
    EXPECT_EQ(DownloadLine(50, 193, 386), "Downloading 50 % (0.2 of 0.4 kB)") << "a small download in kB";
    EXPECT_EQ(DownloadLine(-1, 2200000, 0), "Downloading 2.2 MB") << "no percentage known";
    EXPECT_EQ(DownloadLine(30, 2200000, 0), "Downloading 30 %") << "no size known";
    EXPECT_TRUE(ProgressLineDue(1, 0, 0, 0, 300)) << "the first bytes";
    EXPECT_FALSE(ProgressLineDue(2000, 299, 1000, 0, 300)) << "too soon";
    EXPECT_FALSE(ProgressLineDue(1000, 900, 1000, 0, 300)) << "nothing new";
    EXPECT_TRUE(ProgressLineDue(2000, 300, 1000, 0, 300));
}

TEST(DesktopEntry, TheNameMenusShowOrNoneWhateverTheFileHolds)
{
    const struct
    {
        const char* what;
        QString text;
        QString name;
    } rows[] = {
        {"a plain entry", "[Desktop Entry]\nType=Application\nName=Rig Paint\n", "Rig Paint"},
        {"translations and blanks", "[Desktop Entry]\nName[de]=Malen\n  Name = Paint  \n", "Paint"},
        {"hidden from menus", "[Desktop Entry]\nName=Helper\nNoDisplay=true\n", ""},
        {"removed", "[Desktop Entry]\nHidden=true\nName=Gone\n", ""},
        {"a name of another group", "[Desktop Action New]\nName=New Window\n[Desktop Entry]\n", ""},
        {"no group at all", "Name=Loose\n", ""},
        {"a comment", "[Desktop Entry]\n#Name=Commented\nName=Real\n", "Real"},
        {"binary junk", QString::fromLatin1("\x01\x02[\xff=\n==\n[Desktop Entry]\n=x\n"), ""},
    };
    for (const auto& r : rows)
        EXPECT_EQ(ShownDesktopName(r.text), r.name) << r.what;
}

TEST(BridgeTimeLimit, TheNextChildGetsWhatIsLeftReadOnce)
{
    constexpr int64_t limitMs = 90000;
    const struct
    {
        const char* what;
        std::vector<int64_t> readings; // the clock's, one per look; the last repeats
        std::optional<int64_t> childLimitMs;
    } rows[] = {
        {"time left", {1000}, 89000},
        {"the last millisecond is still a limit", {limitMs - 1}, 1},
        {"time up", {limitMs}, std::nullopt},
        {"the clock passes the limit between two looks: the first look decides", {limitMs - 1, limitMs + 1}, 1},
    };
    for (const auto& r : rows) {
        size_t looks = 0;
        const auto elapsed = [&] { return r.readings[std::min(looks++, r.readings.size() - 1)]; };
        EXPECT_EQ(NextChildLimitMs(limitMs, elapsed), r.childLimitMs) << r.what;
    }
}

namespace {

/// The bridge with the stand-in flatpak first on PATH, its remote answering
/// as STANDIN_FLATPAK says, and a home of its own, so that nothing the bridge
/// does reaches the machine's installations.
class StandInFlatpak : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home_.isValid());
        for (const char* name : {"PATH", "HOME", "XDG_DATA_HOME", "ZORVANE_PACKAGES_SOURCES"})
            saved_.append({name, qgetenv(name)});
        qputenv("ZORVANE_PACKAGES_SOURCES", "flatpak");
        qputenv("PATH", QByteArray(STANDIN_FLATPAK_DIR) + ':' + qgetenv("PATH"));
        qputenv("HOME", home_.path().toUtf8());
        qputenv("XDG_DATA_HOME", (home_.path() + "/.local/share").toUtf8());
    }
    void TearDown() override
    {
        for (const auto& [name, value] : saved_)
            qputenv(name, value);
        qunsetenv("STANDIN_FLATPAK");
        qunsetenv("STANDIN_FLATPAK_PID");
    }

    QTemporaryDir home_;
    QList<std::pair<const char*, QByteArray>> saved_;
};

} // namespace

TEST_F(StandInFlatpak, NoSpellingOfTheRemotesWordsReadsAsSuccessToTheProgram)
{
    qputenv("STANDIN_FLATPAK", "claims");
    // Read as the program reads it.
    const updater::PackageRun run =
        updater::RunPackageManager({ZORVANE_PACKAGES_BRIDGE, "upgrade", "Hello"}, nullptr, 0);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_FALSE(run.output.contains("Successfully installed")) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("end of life: Successfully_installed")) << "the remote's reason is passed on";
}

TEST_F(StandInFlatpak, AskedToStopTheBridgeStopsFlatpakAndSaysTheUpdateFailed)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pidFile = dir.filePath("flatpak.pid");
    qputenv("STANDIN_FLATPAK", "hangs");
    qputenv("STANDIN_FLATPAK_PID", pidFile.toUtf8());
    QProcess bridge;
    bridge.start(ZORVANE_PACKAGES_BRIDGE, {"upgrade", "Hello"});
    ASSERT_TRUE(bridge.waitForStarted(5000));
    for (int i = 0; i < 1000 && testsupport::ReadPid(pidFile) == 0; ++i)
        QThread::msleep(10);
    const qint64 flatpak = testsupport::ReadPid(pidFile);
    ASSERT_GT(flatpak, 0) << "flatpak never asked the remote";

    ::kill(static_cast<pid_t>(bridge.processId()), SIGTERM); // the bridge alone, not its group
    ASSERT_TRUE(bridge.waitForFinished(10000));
    EXPECT_EQ(bridge.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(bridge.exitCode(), 1);
    const QString out = QString::fromUtf8(bridge.readAllStandardOutput());
    EXPECT_TRUE(out.endsWith("The update failed: it was asked to stop before flatpak was done.\n"))
        << out.toStdString();
    EXPECT_FALSE(testsupport::ProcessAlive(flatpak)) << "flatpak outlived the bridge";
}
