#include "runtime/app_paths.h"

#include "runtime/app_identity.h"
#include "support/test_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

TEST(AppPaths, FoldersFollowTheXdgVariablesAndEndWithASeparator)
{
    const QByteArray oldData = qgetenv("XDG_DATA_HOME");
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    const QByteArray oldHome = qgetenv("HOME");

    qputenv("XDG_DATA_HOME", "/data/home");
    qputenv("XDG_CONFIG_HOME", "/config/home/");
    runtime::InitAppPaths();
    EXPECT_EQ(runtime::ProgramDir, QCoreApplication::applicationDirPath() + "/");
    EXPECT_EQ(runtime::LocalAppDataDir, "/data/home/");
    EXPECT_EQ(runtime::WingetPath, runtime::ProgramDir + "zorvane-packages"); // the bridge beside the program
    EXPECT_EQ(runtime::StartupDir, "/config/home/autostart/");
    EXPECT_TRUE(runtime::PictureTempPath.endsWith("/Zorvane_POTD"));
    EXPECT_TRUE(runtime::SettingsPath.endsWith("/Zorvane Software Updates and News.ini"));

    // Relative values are not valid XDG folders: the home defaults apply.
    qputenv("XDG_DATA_HOME", "relative/data");
    qunsetenv("XDG_CONFIG_HOME");
    qputenv("HOME", "/home/someone");
    runtime::InitAppPaths();
    EXPECT_EQ(runtime::LocalAppDataDir, "/home/someone/.local/share/");
    EXPECT_EQ(runtime::StartupDir, "/home/someone/.config/autostart/");

    // A package manager named in the environment replaces the bridge.
    qputenv("ZORVANE_PACKAGE_MANAGER", "/opt/tool/pm");
    runtime::InitAppPaths();
    EXPECT_EQ(runtime::WingetPath, "/opt/tool/pm");
    qunsetenv("ZORVANE_PACKAGE_MANAGER");

    qputenv("XDG_DATA_HOME", oldData);
    qputenv("XDG_CONFIG_HOME", oldConfig);
    qputenv("HOME", oldHome);
}

TEST(AppPaths, OnlyAWritableFolderOutsideAnInstallationKeepsTheSettings)
{
    QTemporaryDir dir;
    const QString d = dir.path() + "/";
    for (const char* folder : {"copy", "locked", "usr/bin", "usr/share/applications", "other/bin"})
        ASSERT_TRUE(QDir(d).mkpath(folder));
    ASSERT_TRUE(QFile::setPermissions(d + "locked", QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                                        QFileDevice::ReadOther | QFileDevice::ExeOther));
    testsupport::WriteBytes(d + "usr/share/applications/" + runtime::DesktopId + ".desktop", "[Desktop Entry]\n");
    const QString configHome = d + "config/";
    const QString beside = "Zorvane Software Updates and News.ini";
    const QString inConfig = configHome + "zorvane/Zorvane Software Updates and News.ini";
    const struct
    {
        const char* programDir;
        bool portable;
    } rows[] = {
        {"copy/", true},      // a copy unpacked where the user may write
        {"locked/", false},   // a folder nobody may write, like a read-only prefix
        {"usr/bin/", false},  // installed: the desktop entry sits in ../share/applications/
        {"other/bin/", true}, // a "bin" folder alone is no installation
        {"missing/", false},  // nothing there
    };
    for (const auto& r : rows) {
        const QString programDir = d + r.programDir;
        EXPECT_EQ(runtime::IsPortableProgramDir(programDir), r.portable) << r.programDir;
        const QString settings =
            runtime::ChooseSettingsPath(programDir, configHome, runtime::IsPortableProgramDir(programDir));
        EXPECT_EQ(settings, r.portable ? programDir + beside : inConfig) << r.programDir;
    }
}
