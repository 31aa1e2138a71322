#include "runtime/app_paths.h"

#include <QCoreApplication>
#include <QDir>

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
