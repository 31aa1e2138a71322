#include "support/local_site.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The program's windows on a screen scaled to 200 %, as a user who sets
// QT_SCALE_FACTOR=2 sees them, with a second screen at 300 % to its right
// (the offscreen platform's own 1.5 times the 2). The platform takes the
// screens in the order of their names, the first as the primary one.
int main(int argc, char** argv)
{
    QTemporaryDir dir;
    QFile screens(dir.filePath("screens.json"));
    if (!screens.open(QIODevice::WriteOnly) || screens.write(R"({"screens": [
            {"name": "first", "x": 0, "y": 0, "width": 1600, "height": 1000, "logicalDpi": 96, "dpr": 1},
            {"name": "second", "x": 1600, "y": 0, "width": 1600, "height": 1000, "logicalDpi": 96, "dpr": 1.5}
        ]})") < 0)
        return 1;
    screens.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.fileName().toLocal8Bit());
    qputenv("QT_SCALE_FACTOR", "2");
    testsupport::PointSiteAtClosedLocalPort();
    // The program's tray icon must not turn up in the panel of whoever runs
    // the tests.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/zorvane-tests-have-no-session-bus");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
