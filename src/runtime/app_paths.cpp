#include "runtime/app_paths.h"

#include "runtime/app_identity.h"
#include "runtime/file_ops.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace runtime {

namespace {

/// An XDG base folder: the variable when it holds an absolute path, else the
/// fallback under the home folder.
QString XdgFolder(const char* variable, const QString& fallbackUnderHome)
{
    const QString value = QString::fromLocal8Bit(qgetenv(variable));
    if (value.startsWith(u'/'))
        return WithTrailingSlash(value);
    return WithTrailingSlash(QDir::homePath() + u'/' + fallbackUnderHome);
}

} // namespace

QString ChooseSettingsPath(const QString& programDir, const QString& configHome, bool portable)
{
    const QString fileName = AppTitle + QStringLiteral(".ini");
    if (portable)
        return programDir + fileName;
    return WithTrailingSlash(configHome) + QStringLiteral("zorvane/") + fileName;
}

QString ChoosePackageManagerPath(const QString& programDir, const QString& chosen)
{
    return chosen.isEmpty() ? programDir + PackageBridgeName : chosen;
}

bool IsPortableProgramDir(const QString& programDir)
{
    const QString desktopEntry = programDir + QStringLiteral("../share/applications/") + DesktopId + ".desktop";
    return FolderWritable(programDir) && !QFileInfo::exists(desktopEntry);
}

QString ConfigHome()
{
    return XdgFolder("XDG_CONFIG_HOME", QStringLiteral(".config"));
}

QString PrivateRuntimeFolder()
{
    // In a folder others may write, another user could plant a lock naming a
    // live process, or a link under the picture's name.
    const QString runtimeDir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtimeDir.isEmpty() && IsPrivateFolder(runtimeDir))
        return WithTrailingSlash(runtimeDir);
    const QString inTemp = PrivateFolder(TempDirectory(), QStringLiteral("zorvane-") + QString::number(::getuid()));
    if (!inTemp.isEmpty())
        return inTemp;
    // Someone else holds that name in the temporary folder.
    QDir().mkpath(ConfigHome());
    return PrivateFolder(ConfigHome(), QStringLiteral("zorvane-runtime"));
}

void InitAppPaths()
{
    ProgramPath = QCoreApplication::applicationFilePath();
    // The folder by the file system's rules: "|" and "\" are ordinary
    // characters in a Linux name, where PathPart's text rule would stop.
    ProgramDir = WithTrailingSlash(QFileInfo(ProgramPath).absolutePath());
    SettingsPath = ChooseSettingsPath(ProgramDir, ConfigHome(), IsPortableProgramDir(ProgramDir));
    StartupDir = ConfigHome() + QStringLiteral("autostart/");
    LocalAppDataDir = XdgFolder("XDG_DATA_HOME", QStringLiteral(".local/share"));
    WingetPath = ChoosePackageManagerPath(ProgramDir, QString::fromLocal8Bit(qgetenv("ZORVANE_PACKAGE_MANAGER")));
    const QString pictureFolder = PrivateRuntimeFolder();
    PictureTempPath = pictureFolder.isEmpty() ? QString() : pictureFolder + QStringLiteral("Zorvane_POTD");
}

} // namespace runtime
