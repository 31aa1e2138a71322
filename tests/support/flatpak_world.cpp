#include "support/flatpak_world.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <unistd.h>

namespace testsupport {

FlatpakWorld::~FlatpakWorld()
{
    if (bus_.state() != QProcess::NotRunning) {
        bus_.kill();
        bus_.waitForFinished();
    }
}

QString FlatpakWorld::Create(const QString& folder, bool* skip)
{
    *skip = true;
    if (QStandardPaths::findExecutable("flatpak").isEmpty())
        return "flatpak is not installed (scripts/setup installs it)";
    fixture_ = folder + "/flatpak";
    const QString home = fixture_ + "/home";
    environment_ = QProcessEnvironment::systemEnvironment();
    environment_.insert("HOME", home);
    environment_.insert("XDG_DATA_HOME", home + "/.local/share");
    environment_.insert("XDG_CONFIG_HOME", home + "/.config");
    environment_.insert("XDG_CACHE_HOME", home + "/.cache");
    environment_.remove("FLATPAK_USER_DIR");
    // The bridge lists flatpak's applications only, whatever else the
    // machine has.
    environment_.insert("ZORVANE_PACKAGES_SOURCES", "flatpak");
    if (::geteuid() != 0 && !QFile::exists("/run/dbus/system_bus_socket") &&
        environment_.value("DBUS_SYSTEM_BUS_ADDRESS").isEmpty()) {
        // Without root, flatpak checks parental controls over the system
        // D-Bus before every install and update; a private bus will do.
        if (QStandardPaths::findExecutable("dbus-daemon").isEmpty())
            return "no system D-Bus and no dbus-daemon to start one: flatpak cannot install as a user";
        bus_.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        const QString address = bus_.waitForReadyRead(10000) ? QString::fromUtf8(bus_.readLine()).trimmed() : QString();
        if (address.isEmpty())
            return "dbus-daemon could not start a private bus, which flatpak needs as a user";
        environment_.insert("DBUS_SYSTEM_BUS_ADDRESS", address);
    }
    *skip = false;
    // The machine's own system installation stays out: its applications are
    // not the test's, and refreshing its remotes would go to the network. An
    // empty one takes its place; only root could have flatpak create it.
    const QString system = folder + "/system";
    for (const char* part : {"objects", "tmp", "refs/heads", "refs/mirrors", "refs/remotes", "state"}) {
        if (!QDir().mkpath(system + "/repo/" + part))
            return "cannot make " + system;
    }
    QFile config(system + "/repo/config");
    if (!config.open(QIODevice::WriteOnly) || config.write("[core]\nrepo_version=1\nmode=bare-user-only\n") < 0)
        return "cannot write " + config.fileName();
    config.close();
    environment_.insert("FLATPAK_SYSTEM_DIR", system);
    // Post-install triggers run under bubblewrap, which needs user
    // namespaces; nothing here depends on them, so there are none to run.
    if (!QDir().mkpath(folder + "/no-triggers"))
        return "cannot make " + folder + "/no-triggers";
    environment_.insert("FLATPAK_TRIGGERSDIR", folder + "/no-triggers");
    return Given({"init"});
}

QString FlatpakWorld::Given(const QStringList& command, const QProcessEnvironment& environment) const
{
    QProcess script;
    script.setProcessEnvironment(environment);
    script.start("bash", QStringList{FLATPAK_FIXTURE, command.value(0), fixture_} + command.mid(1));
    script.closeWriteChannel();
    if (!script.waitForFinished(120000) || script.exitStatus() != QProcess::NormalExit || script.exitCode() != 0)
        return command.join(u' ') + ": " + QString::fromUtf8(script.readAllStandardError());
    return QString();
}

} // namespace testsupport
