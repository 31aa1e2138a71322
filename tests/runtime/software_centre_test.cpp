#include "runtime/software_centre.h"

#include "support/test_files.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

/// PATH holds only `folder` while it lives, so that the stand-in programs are
/// the only ones found.
class OnlyOnPath
{
public:
    explicit OnlyOnPath(const QString& folder) : saved_(qgetenv("PATH")) { qputenv("PATH", folder.toLocal8Bit()); }
    ~OnlyOnPath() { qputenv("PATH", saved_); }
    OnlyOnPath(const OnlyOnPath&) = delete;
    OnlyOnPath& operator=(const OnlyOnPath&) = delete;

private:
    QByteArray saved_;
};

bool WaitForFile(const QString& path, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (!QFileInfo::exists(path)) {
        if (timer.elapsed() > ms)
            return false;
        QThread::msleep(10);
    }
    return true;
}

} // namespace

TEST(SoftwareCentre, StartsGnomeSoftwareFirstThenDiscover)
{
    const struct
    {
        const char* name;
        bool gnome;         // a gnome-software stand-in is on PATH
        bool gnomeRunnable; // ... with execute permission
        bool discover;      // a plasma-discover stand-in is on PATH
        bool opened;
        const char* started; // which stand-in ran; null for none
    } rows[] = {
        {"GNOME Software alone", true, true, false, true, "gnome-software"},
        {"Discover alone", false, false, true, true, "plasma-discover"},
        {"both: GNOME Software wins", true, true, true, true, "gnome-software"},
        {"a GNOME Software file that cannot run is passed over", true, false, true, true, "plasma-discover"},
        {"neither", false, false, false, false, nullptr},
    };
    for (const auto& r : rows) {
        QTemporaryDir bin;
        QTemporaryDir marks;
        ASSERT_TRUE(bin.isValid() && marks.isValid()) << r.name;
        const auto install = [&](const QString& program, bool runnable) {
            const QString path = bin.filePath(program);
            testsupport::WriteBytes(path, "#!/bin/sh\n: > '" + marks.filePath(program).toUtf8() + "'\n");
            QFile::setPermissions(path, runnable ? QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                 : QFile::ReadOwner | QFile::WriteOwner);
        };
        if (r.gnome)
            install("gnome-software", r.gnomeRunnable);
        if (r.discover)
            install("plasma-discover", true);

        bool opened = false;
        {
            OnlyOnPath path(bin.path());
            EXPECT_EQ(runtime::SoftwareCentreInstalled(), r.opened) << r.name;
            opened = runtime::OpenSoftwareCentre();
        }
        EXPECT_EQ(opened, r.opened) << r.name;
        if (r.started != nullptr) {
            EXPECT_TRUE(WaitForFile(marks.filePath(r.started), 5000)) << r.name << ": " << r.started << " did not run";
        }
        // Give a wrongly started second program time to show itself.
        QThread::msleep(200);
        for (const char* program : {"gnome-software", "plasma-discover"}) {
            if (r.started == nullptr || QString::fromLatin1(program) != QString::fromLatin1(r.started)) {
                EXPECT_FALSE(QFileInfo::exists(marks.filePath(program))) << r.name << ": " << program << " ran";
            }
        }
    }
}
