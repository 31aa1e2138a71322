#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace testsupport {

/// A throwaway flatpak world for tests, made offline by
/// tests/tools/flatpak-fixture.sh in a folder of the test's: a user
/// installation, an empty system installation in place of the machine's, and
/// remotes served from local repositories. Programs run with Environment()
/// see it and nothing of the machine's own installations.
class FlatpakWorld
{
public:
    FlatpakWorld() = default;
    ~FlatpakWorld();
    FlatpakWorld(const FlatpakWorld&) = delete;
    FlatpakWorld& operator=(const FlatpakWorld&) = delete;

    /// Makes the world in `folder` with the remote "local" in it. Empty when
    /// made; otherwise why not, with `*skip` set when the machine cannot host
    /// it (no flatpak, no bus to give it) rather than something went wrong.
    QString Create(const QString& folder, bool* skip);

    /// The environment for every program that must see the world.
    QProcessEnvironment Environment() const { return environment_; }

    /// The folder the fixture script works on.
    QString Fixture() const { return fixture_; }

    /// Runs the fixture script's `command` (its first word; the folder is
    /// inserted) in `environment`; empty when it worked, else its errors.
    QString Given(const QStringList& command, const QProcessEnvironment& environment) const;
    QString Given(const QStringList& command) const { return Given(command, environment_); }

private:
    QString fixture_;
    QProcessEnvironment environment_;
    QProcess bus_;
};

} // namespace testsupport
