// The bridge against a real PackageKit: a private daemon, polkit and apt
// repository made by packagekit-rig.sh in a private mount namespace, the
// bridge run as an unprivileged user, as a desktop user runs it.
#include "support/qstring_print.h"
#include "support/tool_output.h"
#include "updater/apps_table.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Ran
{
    int exitCode = -1;
    QString out;
    QString err;
};

QByteArray DpkgStatusDigest()
{
    QFile status("/var/lib/dpkg/status");
    return status.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(status.readAll(), QCryptographicHash::Sha256)
                                            : QByteArray();
}

class PackageKitBridge : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        // The unprivileged user reaches the rig and the bridge through here.
        QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                               QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
        bridge_ = dir_.filePath("zorvane-packages");
        ASSERT_TRUE(QFile::copy(ZORVANE_PACKAGES_BRIDGE, bridge_));
        statusBefore_ = DpkgStatusDigest();
    }

    void TearDown() override
    {
        EXPECT_EQ(DpkgStatusDigest(), statusBefore_) << "the machine's own dpkg database was touched";
    }

    /// The rig's command `mode` with `arguments` after it.
    Ran Rig(const QString& mode, const QStringList& arguments)
    {
        QProcess rig;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("ZORVANE_PACKAGES_SOURCES", "packagekit");
        rig.setProcessEnvironment(environment);
        rig.start("bash", QStringList{PACKAGEKIT_RIG, dir_.filePath("rig"), mode} + arguments);
        rig.closeWriteChannel();
        rig.waitForFinished(180000);
        return {rig.exitStatus() == QProcess::NormalExit ? rig.exitCode() : -1,
                QString::fromUtf8(rig.readAllStandardOutput()), QString::fromUtf8(rig.readAllStandardError())};
    }

    /// The bridge run in the rig as nobody, polkit allowing or denying.
    Ran Bridge(const QString& polkit, const QStringList& arguments)
    {
        return Rig(polkit,
                   QStringList{"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "--", bridge_} +
                       arguments);
    }

    /// "name|identifier|installed|available" of each row of a list.
    static QStringList Rows(const QString& out)
    {
        QStringList rows;
        for (const QString& line : updater::TakeAppLines(testsupport::AsReadFromTool(out))) {
            const updater::AppRow row = updater::ParseAppLine(line);
            rows << QStringList{row.name, row.identifier, row.installed, row.available}.join(u'|');
        }
        return rows;
    }

    QTemporaryDir dir_;
    QString bridge_;
    QByteArray statusBefore_;
};

} // namespace

TEST_F(PackageKitBridge, ListsAppsAndSystemPackagesAndUpgradesOnlyWhenPolkitAllows)
{
    const Ran listed = Bridge("allow", {"list"});
    if (listed.exitCode == 77)
        GTEST_SKIP() << listed.err.toStdString();
    ASSERT_EQ(listed.exitCode, 0) << listed.err.toStdString();
    EXPECT_EQ(Rows(listed.out),
              (QStringList{"Rig Paint|zorvane-rig-paint|1.0|2.0", "System packages|@system-packages||2 updates"}))
        << "the application by its menu name; the library and the pre-release in one row; the steady one nowhere";
    EXPECT_TRUE(listed.out.contains(QRegularExpression(R"(@system-packages +2 updates +packages \(1 security\)\n)")))
        << listed.out.toStdString();

    const struct
    {
        const char* what;
        const char* polkit;
        const char* identifier;
        int exitCode;
        const char* lastLine;
        QStringList installed; // the rig's dpkg database afterwards
    } upgrades[] = {
        {"refused",
         "deny",
         "zorvane-rig-paint",
         1,
         "The update failed: authorisation was refused.",
         {"libzorvane-rig1 1.2.6-5+deb12u1", "zorvane-rig-beta 1.0~beta1", "zorvane-rig-paint 1.0",
          "zorvane-rig-steady 1.0"}},
        {"the application",
         "allow",
         "zorvane-rig-paint",
         0,
         "Successfully installed zorvane-rig-paint 2.0",
         {"libzorvane-rig1 1.2.6-5+deb12u1", "zorvane-rig-beta 1.0~beta1", "zorvane-rig-paint 2.0",
          "zorvane-rig-steady 1.0"}},
        {"every other package in one transaction",
         "allow",
         "@system-packages",
         0,
         "Successfully installed System packages",
         {"libzorvane-rig1 1.2.6-5+deb12u2", "zorvane-rig-beta 1.0", "zorvane-rig-paint 2.0",
          "zorvane-rig-steady 1.0"}},
        {"already current", "allow", "zorvane-rig-paint", 0, "Successfully installed zorvane-rig-paint 2.0", {}},
    };
    for (const auto& u : upgrades) {
        const Ran ran = Bridge(u.polkit, {"upgrade", "--id", u.identifier, "--accept-package-agreements"});
        EXPECT_EQ(ran.exitCode, u.exitCode) << u.what << ": " << ran.out.toStdString() << ran.err.toStdString();
        EXPECT_TRUE(ran.out.endsWith(QString(u.lastLine) + "\n")) << u.what << ": " << ran.out.toStdString();
        if (u.exitCode == 0 && !u.installed.isEmpty()) {
            EXPECT_TRUE(ran.out.contains("Progress ")) << u.what << ": progress lines: " << ran.out.toStdString();
        }
        if (!u.installed.isEmpty()) {
            EXPECT_EQ(Rig("status", {}).out.trimmed().split(u'\n'), u.installed) << u.what;
        }
    }
    EXPECT_EQ(Rows(Bridge("allow", {"list"}).out), QStringList{"Rig Paint|zorvane-rig-paint|2.0|Unknown"})
        << "nothing left to update";
}
