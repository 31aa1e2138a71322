#include "app/quit.h"
#include "app/wink.h"

#include "content/picture_page.h"
#include "runtime/app_paths.h"
#include "runtime/clock.h"
#include "runtime/process_state.h"
#include "sample_site_server.h"
#include "settings/app_settings.h"
#include "program_environment.h"
#include "support/test_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <future>
#include <thread>

namespace {

void MakeFiles(const QString& folder, std::initializer_list<const char*> names)
{
    for (const char* name : names)
        testsupport::WriteBytes(folder + name, "x");
}

} // namespace

TEST(Quit, StepsCleanUpBesideTheProgramAndSaveTheSettings)
{
    QTemporaryDir programDir;
    QTemporaryDir tempDir;
    const QString dir = programDir.path() + "/";
    runtime::ProgramDir = dir;
    runtime::SettingsPath = dir + "settings.ini";
    runtime::PictureTempPath = tempDir.filePath("Zorvane_POTD");

    MakeFiles(dir, {"a.log", "b.log", "kept.log", "notes.txt", "log.txt"});
    QFile::setPermissions(dir + "kept.log", QFileDevice::ReadOwner);
    QDir(dir).mkpath("sub.log");
    MakeFiles(dir, {"sub.log/inner.log"});
    testsupport::WriteBytes(runtime::PictureTempPath, "picture");
    QFile::setPermissions(runtime::PictureTempPath, QFileDevice::ReadOwner); // cleared before deleting
    settings::Settings.Refresh_Rate = 42;

    app::RunQuitSteps();

    EXPECT_EQ(runtime::QuitRequested.load(), 1);
    const struct
    {
        QString path;
        bool remains;
    } rows[] = {
        {dir + "a.log", false},
        {dir + "b.log", false},
        {dir + "kept.log", true}, // read-only files are not forced
        {dir + "notes.txt", true},
        {dir + "log.txt", true},
        {dir + "sub.log", true},           // folders are left alone
        {dir + "sub.log/inner.log", true}, // and so is what they hold
        {runtime::PictureTempPath, false},
    };
    for (const auto& r : rows)
        EXPECT_EQ(QFileInfo::exists(r.path), r.remains) << r.path.toStdString();
    EXPECT_TRUE(testsupport::ReadBytes(runtime::SettingsPath).contains("\r\nRefresh_Rate = 42\r\n"));
    runtime::QuitRequested = 0;
}

TEST(Quit, RunningProgramQuitsCleanlyOnTerminationAndRefusesASecondCopy)
{
    // The picture of the day hangs in its download when the program is told
    // to quit: the quit must not wait for it or trip over it.
    samplesite::Server site;
    ASSERT_TRUE(site.Start());
    site.StallPath(content::PictureChannelPath);

    // A copy of the program in its own folder, so its settings file and log
    // clean-up land there. The folder's name holds a "|", legal in a Linux
    // name: nothing may land in the folder above it.
    QTemporaryDir above;
    QTemporaryDir runtimeDir;
    QTemporaryDir home;
    const QDir programDir(above.filePath("a|b"));
    ASSERT_TRUE(programDir.mkpath("."));
    const QString program = programDir.filePath("zorvane");
    ASSERT_TRUE(QFile::copy(ZORVANE_PROGRAM_PATH, program));
    MakeFiles(programDir.path() + "/", {"old.log"});
    MakeFiles(above.path() + "/", {"victim.log"});
    testsupport::WriteBytes(programDir.filePath("Zorvane Software Updates and News.ini"),
                            "Refresh_Rate = 15\r\nPlatform = Linux\r\nApp_Maxed = 3\r\n");

    const QProcessEnvironment env = apptest::ProgramEnvironment(home.path(), runtimeDir.path(), site.BaseUrl());
    QProcess first;
    first.setProcessEnvironment(env);
    first.start(program, {});
    ASSERT_TRUE(first.waitForStarted(5000));
    // Wait for it to claim the instance: its lock appears in the runtime folder.
    for (int i = 0; i < 100 && QDir(runtimeDir.path()).entryList(QDir::Files).isEmpty(); ++i)
        QThread::msleep(50);
    ASSERT_FALSE(QDir(runtimeDir.path()).entryList(QDir::Files).isEmpty());
    QThread::msleep(300);

    QProcess second;
    second.setProcessEnvironment(env);
    second.start(program, {});
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(QFileInfo::exists(programDir.filePath("old.log"))); // the second copy cleans nothing

    for (int i = 0; i < 400 && site.StalledRequests() == 0; ++i)
        QThread::msleep(50);
    ASSERT_EQ(site.StalledRequests(), 1); // the picture worker waits inside its transfer

    ::kill(static_cast<pid_t>(first.processId()), SIGTERM);
    // The download comes back to life while the program is ending, so the
    // worker runs again beside the quit.
    QThread::msleep(8);
    site.Stop();
    ASSERT_TRUE(first.waitForFinished(10000));
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0);
    const QByteArray errors = first.readAllStandardError();
    EXPECT_FALSE(errors.contains("Sanitizer")) << errors.toStdString();
    EXPECT_FALSE(QFileInfo::exists(programDir.filePath("old.log")));
    const QByteArray saved = testsupport::ReadBytes(programDir.filePath("Zorvane Software Updates and News.ini"));
    EXPECT_TRUE(saved.startsWith("; Zorvane Software Updates and News Settings File.\r\n"));
    EXPECT_TRUE(saved.contains("\r\nRefresh_Rate = 15\r\n"));
    EXPECT_TRUE(saved.contains("\r\nPlatform = Linux\r\n"));
    EXPECT_TRUE(saved.contains("\r\nApp_Maxed = 0\r\n")); // checked on load, written back clean
    EXPECT_TRUE(QFileInfo::exists(above.filePath("victim.log"))) << "cleaned the folder above the program's";
    EXPECT_FALSE(QFileInfo::exists(above.filePath("Zorvane Software Updates and News.ini")));
}

TEST(Quit, ARequestEndsTheWinkAnimationsPauseAtOnce)
{
    runtime::QuitRequested = 0;
    auto wink = std::async(std::launch::async, app::WinkThread);
    std::this_thread::sleep_for(std::chrono::milliseconds(20)); // well inside its 30 s pause
    runtime::QuitRequested = 1;
    runtime::WakeSleepers();
    // The pause lasts 30 to 60 s: still waiting after 10 s means it was not interrupted.
    EXPECT_EQ(wink.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    runtime::QuitRequested = 0;
}

TEST(Quit, TerminationDuringAStalledPageFetchQuitsAtOnce)
{
    samplesite::Server stalling;
    ASSERT_TRUE(stalling.Start());
    QTemporaryDir programDir;
    QTemporaryDir runtimeDir;
    QTemporaryDir home;
    const QString program = programDir.filePath("zorvane");
    ASSERT_TRUE(QFile::copy(ZORVANE_PROGRAM_PATH, program));
    // The home page never answers: the first refresh waits in its transfer.
    const QProcessEnvironment env =
        apptest::ProgramEnvironment(home.path(), runtimeDir.path(), stalling.BaseUrl() + "/fault/stall");
    QProcess running;
    running.setProcessEnvironment(env);
    running.start(program, {});
    ASSERT_TRUE(running.waitForStarted(5000));
    QThread::msleep(1500); // well into the fetch

    ::kill(static_cast<pid_t>(running.processId()), SIGTERM);
    // A stalled transfer is given up only after a minute of silence; the quit
    // must not wait for that.
    ASSERT_TRUE(running.waitForFinished(15000)) << "the quit waited for the stalled transfer";
    EXPECT_EQ(running.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(running.exitCode(), 0);
    EXPECT_TRUE(QFileInfo::exists(programDir.filePath("Zorvane Software Updates and News.ini")));
}
