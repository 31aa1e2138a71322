// zorvane-packages: the package manager of the program's installed-apps tab
// on Linux. It speaks the table-and-upgrade language the tab expects and
// does the work with flatpak.
#include "bridge_commands.h"
#include "child_process.h"
#include "command_line.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv)
{
    // Ended by the program (a quit during an upgrade), the bridge stops
    // flatpak first and says so, rather than vanishing under it.
    packagesbridge::WatchStopSignals();
    QStringList words;
    for (int i = 1; i < argc; ++i)
        words << QString::fromLocal8Bit(argv[i]);
    const packagesbridge::Command command = packagesbridge::ParseCommand(words);
    switch (command.kind) {
    case packagesbridge::Command::Kind::List:
        return packagesbridge::ListApps();
    case packagesbridge::Command::Kind::UpgradeById:
    case packagesbridge::Command::Kind::UpgradeByName:
        return packagesbridge::UpgradeApp(command);
    case packagesbridge::Command::Kind::Usage:
        break;
    }
    const QByteArray usage = packagesbridge::UsageLine().toUtf8() + '\n';
    std::fwrite(usage.constData(), 1, size_t(usage.size()), stderr);
    return 2;
}
