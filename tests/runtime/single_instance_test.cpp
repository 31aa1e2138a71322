#include "runtime/single_instance.h"
#include "support/test_files.h"

#include <QDir>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

#include <pwd.h>
#include <unistd.h>

namespace {

/// Runs instance probes that share one private runtime folder.
class Probes
{
public:
    Probes()
    {
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert("XDG_RUNTIME_DIR", runtimeDir_.path());
    }

    std::unique_ptr<QProcess> Start(const char* mode, int lifetimeMs)
    {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(env_);
        process->start(INSTANCE_PROBE_PATH, {mode, QString::number(lifetimeMs)});
        EXPECT_TRUE(process->waitForStarted(5000));
        return process;
    }

    /// Waits until the probe printed its role line and returns it.
    static QByteArray Role(QProcess& process)
    {
        while (!process.canReadLine() && process.waitForReadyRead(5000)) {
        }
        return process.readLine().trimmed();
    }

    QStringList RuntimeFiles() const
    {
        return QDir(runtimeDir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    QString RuntimePath(const QString& name) const { return runtimeDir_.filePath(name); }

    /// The environment of the probes started from now on.
    QProcessEnvironment& Environment() { return env_; }

private:
    QTemporaryDir runtimeDir_;
    QProcessEnvironment env_;
};

QByteArray Finish(QProcess& process)
{
    process.waitForFinished(10000);
    return process.readAllStandardOutput();
}

} // namespace

TEST(SingleInstance, SecondInstanceActivatesTheFirstAndLeaves)
{
    Probes probes;
    auto first = probes.Start("ready", 3000);
    ASSERT_EQ(Probes::Role(*first), "first");
    const QStringList filesBefore = probes.RuntimeFiles();

    QElapsedTimer clock;
    clock.start();
    // The token a launcher gave the second copy goes to the first, which
    // needs it on Wayland to come to the front.
    probes.Environment().insert("PROBE_ACTIVATION_TOKEN", "launcher-token_1");
    auto second = probes.Start("ready", 3000);
    ASSERT_TRUE(second->waitForFinished(5000));
    const qint64 elapsed = clock.elapsed();
    EXPECT_EQ(second->readAllStandardOutput().trimmed(), "second");
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_GE(elapsed, 500);                       // it waits for the first to come forward before leaving
    EXPECT_EQ(probes.RuntimeFiles(), filesBefore); // the second touched no file

    EXPECT_EQ(Finish(*first).trimmed(), "activated launcher-token_1");
}

TEST(SingleInstance, ActivationMessagesCarryOnlyUsableTokens)
{
    const struct
    {
        const char* name;
        QByteArray message;
        QString token;
    } rows[] = {
        {"no token", "activate\n", ""},
        {"a token", "activate 3a45f180a016_x-1\n", "3a45f180a016_x-1"},
        {"no line end (an older copy)", "activate abc", "abc"},
        {"only the first line counts", "activate abc\nactivate def\n", "abc"},
        {"a blank inside", "activate abc def\n", ""},
        {"a control character", "activate ab\x01c\n", ""},
        {"beyond ASCII", "activate caf\xc3\xa9\n", ""},
        {"too long", "activate " + QByteArray(257, 'a') + "\n", ""},
        {"another word", "raise abc\n", ""},
    };
    for (const auto& r : rows)
        EXPECT_EQ(runtime::ActivationTokenOf(r.message), r.token) << r.name;
    // What a second copy sends is what the first reads back; an unusable
    // token is not sent at all.
    EXPECT_EQ(runtime::ActivationTokenOf(runtime::ActivationMessage("tok-1")), "tok-1");
    EXPECT_EQ(runtime::ActivationMessage("bad token"), "activate\n");
}

TEST(SingleInstance, ActivationBeforeStartUpEndsIsIgnored)
{
    Probes probes;
    auto first = probes.Start("starting", 2000);
    ASSERT_EQ(Probes::Role(*first), "first");
    auto second = probes.Start("starting", 2000);
    ASSERT_TRUE(second->waitForFinished(5000));
    EXPECT_EQ(second->readAllStandardOutput().trimmed(), "second");
    EXPECT_EQ(Finish(*first).trimmed(), ""); // nothing forced open while starting
}

TEST(SingleInstance, LockOfACrashedInstanceIsTakenOver)
{
    Probes probes;
    auto crashed = probes.Start("ready", 60000);
    ASSERT_EQ(Probes::Role(*crashed), "first");
    ::kill(static_cast<pid_t>(crashed->processId()), SIGKILL);
    crashed->waitForFinished(5000);

    auto next = probes.Start("ready", 1500);
    EXPECT_EQ(Probes::Role(*next), "first");
    // The newcomer also answers activations on the socket the dead one left.
    auto second = probes.Start("ready", 1500);
    ASSERT_TRUE(second->waitForFinished(5000));
    EXPECT_EQ(second->readAllStandardOutput().trimmed(), "second");
    EXPECT_EQ(Finish(*next).trimmed(), "activated");
}

TEST(SingleInstance, LongRunningFirstInstanceKeepsItsLock)
{
    // A lock must not turn stale merely by age.
    Probes probes;
    auto first = probes.Start("ready", 4000);
    ASSERT_EQ(Probes::Role(*first), "first");
    // Pretend the first instance has been running for an hour.
    QFile lock(probes.RuntimePath("Probe Instance.lock"));
    ASSERT_TRUE(lock.open(QIODevice::ReadWrite));
    ASSERT_TRUE(lock.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    lock.close();
    auto second = probes.Start("ready", 1000);
    ASSERT_TRUE(second->waitForFinished(5000));
    EXPECT_EQ(second->readAllStandardOutput().trimmed(), "second");
    Finish(*first);
}

TEST(SingleInstance, OnlyALockOfTheUsersOwnInAFolderOfTheirOwnCounts)
{
    // A live instance's lock stands for one that another user planted.
    Probes holder;
    auto live = holder.Start("starting", 20000);
    ASSERT_EQ(Probes::Role(*live), "first");
    const QString liveLock = holder.RuntimePath("Probe Instance.lock");
    const QString userName = QString::fromLocal8Bit(::getpwuid(::geteuid())->pw_name);

    enum class Plant { InSharedTemp, AsLink, OwnedByAnother };
    const struct
    {
        const char* what;
        Plant plant;
    } rows[] = {
        {"no runtime folder: the shared temporary folder is not used", Plant::InSharedTemp},
        {"a lock that is a link to another's", Plant::AsLink},
        {"a lock owned by another user", Plant::OwnedByAnother},
    };
    for (const auto& r : rows) {
        if (r.plant == Plant::OwnedByAnother && ::geteuid() != 0)
            continue; // only root can give a file away
        Probes probes;
        const QString lock = probes.RuntimePath("Probe Instance.lock");
        switch (r.plant) {
        case Plant::InSharedTemp:
            // The holder's folder is the shared one; another user has taken
            // the name of Qt's own fallback there.
            probes.Environment().remove("XDG_RUNTIME_DIR");
            probes.Environment().insert("TMPDIR", holder.RuntimePath(""));
            testsupport::WriteBytes(holder.RuntimePath("runtime-" + userName), "");
            break;
        case Plant::AsLink:
            ASSERT_TRUE(QFile::link(liveLock, lock));
            break;
        case Plant::OwnedByAnother:
            ASSERT_TRUE(QFile::copy(liveLock, lock));
            ASSERT_EQ(::chown(QFile::encodeName(lock).constData(), 65534, 65534), 0);
            break;
        }
        auto probe = probes.Start("ready", 200);
        EXPECT_EQ(Probes::Role(*probe), "first") << r.what;
        Finish(*probe);
    }
    ::kill(static_cast<pid_t>(live->processId()), SIGTERM);
    Finish(*live);
}
