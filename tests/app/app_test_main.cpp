#include "support/local_site.h"

#include <QApplication>

#include <gtest/gtest.h>

// The windows, message boxes and pixmaps under test need a GUI application
// object, which the shared test main (a QCoreApplication) does not give.
int main(int argc, char** argv)
{
    // The build lists the tests by running this program without the test
    // environment; no test needs a display, so default to none.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    testsupport::PointSiteAtClosedLocalPort();
    // The program's tray icon must not turn up in the panel of whoever runs
    // the tests: no session bus, unless a test brings its own.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/zorvane-tests-have-no-session-bus");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
